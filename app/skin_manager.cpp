#include "app/skin_manager.h"

#include <QApplication>
#include <QFile>
#include <QPalette>
#include <QStyleFactory>

namespace {
struct Look {
    const char* name;
    const char* file;
};
const Look kLooks[] = {
    {"Aluminium (internal)", "aluminium"}, {"Smoky (internal)", "smoky"},
    {"Beijing Ext (internal)", "beijing"}, {"Vista (internal)", "vista"},
    {"WEB (internal)", "web"},             {"Elegant (internal)", "elegant"},
};

QString fileOf(const QString& look) {
    for (const Look& l : kLooks)
        if (look == QLatin1String(l.name)) return QString::fromLatin1(l.file);
    return QStringLiteral("aluminium");
}
}  // namespace

SkinManager::SkinManager(QObject* parent) : QObject(parent) {}

const QStringList& SkinManager::builtInNames() {
    static const QStringList names = [] {
        QStringList n;
        for (const Look& l : kLooks) n << QString::fromLatin1(l.name);
        return n;
    }();
    return names;
}

QString SkinManager::styleSheetResource(const QString& look) {
    return QStringLiteral(":/skins/%1.qss").arg(fileOf(look));
}

void SkinManager::setSkinName(const QString& name) {
    const QString look = builtInNames().contains(name) ? name : defaultName();
    name_ = name;
    if (look != look_) {
        look_ = look;
        if (qApp) {
            static bool fusion = false;
            if (!fusion) {
                // One base style under every skin, whatever the desktop uses.
                QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
                fusion = true;
            }
            QFile f(styleSheetResource(look));
            QString qss;
            if (f.open(QIODevice::ReadOnly)) qss = QString::fromUtf8(f.readAll());
            qApp->setStyleSheet(qss);
        }
    }
    emit skinChanged(name_);
}
