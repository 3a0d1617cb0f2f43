// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The skin shortcut filter and the deferred polishing of hidden windows.
#include "app/app_filters.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

#include "app/skin_table.h"

SkinShortcutFilter::SkinShortcutFilter(QObject* parent) : SkinShortcutFilter(skins::shortcutKeys(), parent) {}

SkinShortcutFilter::SkinShortcutFilter(QList<Qt::Key> keys, QObject* parent)
    : QObject(parent), keys_(std::move(keys)) {}

bool SkinShortcutFilter::eventFilter(QObject* obj, QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride) {
        auto* k = static_cast<QKeyEvent*>(e);
        const Qt::KeyboardModifiers mods = k->modifiers() & ~Qt::KeypadModifier;
        if (mods == Qt::ControlModifier && keys_.contains(Qt::Key(k->key()))) {
            e->ignore();
            return true;
        }
    }
    return QObject::eventFilter(obj, e);
}

bool HiddenWindowPolishFilter::eventFilter(QObject* obj, QEvent* e) {
    if (e->type() == QEvent::PolishRequest && obj->isWidgetType() &&
        !static_cast<QWidget*>(obj)->window()->isVisible())
        return true;
    return QObject::eventFilter(obj, e);
}
