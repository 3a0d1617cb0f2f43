// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The two application-wide event filters: the skin shortcuts that beat
// text fields, and the polishing of hidden windows' controls held back
// until their window is shown. Both are installed by installApplicationWide().
#pragma once

#include <QList>
#include <QObject>

// Text fields accept the ShortcutOverride of Ctrl+A, Ctrl+V and friends, so
// the skin shortcuts would never fire while one has the focus. This filter
// turns the override down for the Ctrl chords of the skin table's keys, so
// the skin menu's shortcuts come first everywhere.
class SkinShortcutFilter : public QObject {
public:
    // The keys are those of the skin table (skins::shortcutKeys()).
    explicit SkinShortcutFilter(QObject* parent = nullptr);
    SkinShortcutFilter(QList<Qt::Key> keys, QObject* parent);

    const QList<Qt::Key>& keys() const { return keys_; }

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    QList<Qt::Key> keys_;
};

// A control of a window that is not shown is polished when its window is
// shown (showing polishes the whole window): this filter holds back the
// polish requests of controls of hidden windows, so the start does not pay
// for the ten windows that are created hidden.
class HiddenWindowPolishFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;
};
