#include "app/skin_manager.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QWidget>

namespace {

// The colours a look gives the application palette. The style sheet draws
// the controls; the palette is what the sheet leaves to the base style
// (dialog and message box chrome, text the windows do not colour
// themselves, selections) and what the sheet's own rules inherit.
struct Inks {
    const char* window;       // window background (under the sheet's own)
    const char* windowText;   // labels, captions, group titles
    const char* base;         // text fields, answer logs, spin boxes
    const char* alternate;
    const char* text;         // text in fields
    const char* button;
    const char* buttonText;
    const char* highlight;
    const char* highlighted;  // text on the highlight
    const char* tipBase;
    const char* tipText;
    const char* light;
    const char* mid;
    const char* dark;
    const char* disabledText;
    const char* link;
};

struct Look {
    const char* name;
    const char* file;
    Inks inks;
};

const Look kLooks[] = {
    {"Aluminium (internal)", "aluminium",
     {"#dfe2e6", "#1d2227", "#ffffff", "#eef0f2", "#111417", "#e4e7ea", "#1d2227", "#3d7bd0", "#ffffff",
      "#f7f8fa", "#1d2227", "#ffffff", "#a3a9b1", "#6b727b", "#8d939a", "#1f5fb4"}},
    {"Smoky (internal)", "smoky",
     {"#2e3034", "#eceef1", "#eef0f2", "#dfe2e6", "#111316", "#c9ccd1", "#16181b", "#f0a53a", "#16181b",
      "#3a3d42", "#f2f3f5", "#5a5e65", "#45484e", "#1b1c1f", "#8e939b", "#ffc069"}},
    {"Beijing Ext (internal)", "beijing",
     {"#8e1216", "#fff3d0", "#fffaf0", "#fbefd2", "#2a0606", "#f6cf5c", "#5c0a0d", "#c81e24", "#fff3c4",
      "#7a0d11", "#ffe08a", "#ffe79e", "#b8871f", "#5a090c", "#c99a9a", "#9c1117"}},
    {"Vista (internal)", "vista",
     {"#dbe8f5", "#0f2a4a", "#ffffff", "#eef5fc", "#0d1b2a", "#e3eef9", "#0f2a4a", "#2a7fd4", "#ffffff",
      "#ffffff", "#1b3552", "#ffffff", "#8fb2d6", "#4c7aa8", "#8397ad", "#1360b8"}},
    {"WEB (internal)", "web",
     {"#ffffff", "#202124", "#ffffff", "#f5f8fc", "#202124", "#e8f0fe", "#174ea6", "#1a73e8", "#ffffff",
      "#3c4043", "#ffffff", "#ffffff", "#dadce0", "#80868b", "#9aa0a6", "#1a0dab"}},
    {"Elegant (internal)", "elegant",
     {"#f6f0e1", "#1d3a2b", "#fffdf7", "#f8f3e6", "#1c1a14", "#f3ead3", "#173d2b", "#1f5a3f", "#fbf6e6",
      "#1f4d36", "#fbf6e6", "#fffdf7", "#c8b98f", "#7d6f48", "#a49b84", "#1f5a3f"}},
};

const Look& lookOf(const QString& name) {
    for (const Look& l : kLooks)
        if (name == QLatin1String(l.name)) return l;
    return kLooks[0];
}

QPalette paletteOf(const Inks& k) {
    QPalette p;
    auto set = [&p](QPalette::ColorRole role, const char* hex) { p.setColor(role, QColor(QLatin1String(hex))); };
    set(QPalette::Window, k.window);
    set(QPalette::WindowText, k.windowText);
    set(QPalette::Base, k.base);
    set(QPalette::AlternateBase, k.alternate);
    set(QPalette::Text, k.text);
    set(QPalette::Button, k.button);
    set(QPalette::ButtonText, k.buttonText);
    set(QPalette::Highlight, k.highlight);
    set(QPalette::HighlightedText, k.highlighted);
    set(QPalette::ToolTipBase, k.tipBase);
    set(QPalette::ToolTipText, k.tipText);
    set(QPalette::Light, k.light);
    set(QPalette::Midlight, k.light);
    set(QPalette::Mid, k.mid);
    set(QPalette::Dark, k.dark);
    set(QPalette::Shadow, k.dark);
    set(QPalette::Link, k.link);
    set(QPalette::BrightText, k.highlighted);
    QColor placeholder(QLatin1String(k.text));
    placeholder.setAlpha(128);
    p.setColor(QPalette::PlaceholderText, placeholder);
    const QColor off(QLatin1String(k.disabledText));
    for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, r, off);
    return p;
}

// Fusion underneath every skin. Besides, the windows are plain QWidget
// subclasses, which style sheets do not paint unless asked to: the
// windows get a styled background so that the sheets' window rules
// (gradients, textures) reach them.
class SkinBaseStyle : public QProxyStyle {
public:
    SkinBaseStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    void polish(QWidget* w) override {
        QProxyStyle::polish(w);
        if (w->isWindow() && w->inherits("KobaltWindow")) w->setAttribute(Qt::WA_StyledBackground, true);
    }
    using QProxyStyle::polish;
};

// Each sheet is read from the resources once; switching skins afterwards
// only hands the cached text to the application.
const QString& cachedSheet(const QString& look) {
    static QHash<QString, QString> sheets;
    auto it = sheets.find(look);
    if (it == sheets.end()) {
        QFile f(SkinManager::styleSheetResource(look));
        QString qss;
        if (f.open(QIODevice::ReadOnly)) qss = QString::fromUtf8(f.readAll());
        it = sheets.insert(look, qss);
    }
    return it.value();
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
    return QStringLiteral(":/skins/%1.qss").arg(QString::fromLatin1(lookOf(look).file));
}

QString SkinManager::styleSheet(const QString& look) { return cachedSheet(lookOf(look).name); }

QPalette SkinManager::palette(const QString& look) { return paletteOf(lookOf(look).inks); }

void SkinManager::setSkinName(const QString& name) {
    const QString look = builtInNames().contains(name) ? name : defaultName();
    name_ = name;
    if (look != look_) {
        look_ = look;
        if (qApp) {
            // One base style under every skin, whatever the desktop uses;
            // installed once per application object.
            if (!qApp->property("kobaltfaSkinStyle").toBool()) {
                QApplication::setStyle(new SkinBaseStyle);
                qApp->setProperty("kobaltfaSkinStyle", true);
            }
            QApplication::setPalette(palette(look));
            qApp->setStyleSheet(cachedSheet(look));
        }
    }
    emit skinChanged(name_);
}
