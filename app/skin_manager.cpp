// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// SkinMen's workings: the palette and the filled style sheet of a skin
// table row, cached per row and applied to the whole application over one
// Fusion base style.
#include "app/skin_manager.h"

#include "app/skin_table.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QHash>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QWidget>

namespace {

// The row drawn for a name: its own, or the first (Aluminium) for a name
// that is none of the built-in ones.
const SkinRow& lookOf(const QString& name) {
    const SkinRow* row = skins::find(name);
    return row ? *row : skins::table().front();
}

QPalette paletteOf(const SkinInks& k) {
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

// The template is read from the resources once and each look's sheet filled
// from it once; switching skins afterwards only hands the cached text to
// the application.
const QString& cachedSheet(const SkinRow& look) {
    static const QString tmpl = skins::sheetTemplate();
    static QHash<const SkinRow*, QString> sheets;
    auto it = sheets.find(&look);
    if (it == sheets.end()) {
        skins::FilledSheet filled = skins::fill(tmpl, look);
        // skin_table_qtest fills every row; a debug build checks again.
        Q_ASSERT_X(filled.unfilled.isEmpty(), "SkinManager", "a skin row leaves a placeholder unfilled");
        it = sheets.insert(&look, filled.text);
    }
    return it.value();
}

}  // namespace

SkinManager::SkinManager(QObject* parent) : QObject(parent) {}

const QStringList& SkinManager::builtInNames() {
    static const QStringList names = [] {
        QStringList n;
        for (const SkinRow& r : skins::table()) n << QString::fromUtf8(r.name);
        return n;
    }();
    return names;
}

QString SkinManager::styleSheet(const QString& look) { return cachedSheet(lookOf(look)); }

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
            const SkinRow& row = lookOf(look);
            QApplication::setPalette(paletteOf(row.inks));
            qApp->setStyleSheet(cachedSheet(row));
        }
    }
    emit skinChanged(name_);
}

namespace skins {

QList<QAction*> createActions(SkinManager* skinManager, QObject* parent) {
    QList<QAction*> actions;
    for (const SkinRow& row : table()) {
        auto* a = new QAction(QString::fromUtf8(row.caption), parent);
        a->setObjectName(QString::fromLatin1(row.action));
        a->setShortcut(QKeySequence(Qt::CTRL | row.key));
        a->setShortcutContext(Qt::WindowShortcut);
        const QString name = QString::fromUtf8(row.name);
        QObject::connect(a, &QAction::triggered, skinManager, [skinManager, name] { skinManager->setSkinName(name); });
        actions << a;
    }
    return actions;
}

}  // namespace skins
