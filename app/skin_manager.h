// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// SkinMen: holds the current skin name and draws every window in it. Each
// built-in look is a row of the skin table (app/skin_table.h): its palette
// and the style sheet template filled from the row, applied to the whole
// application at once. A name that is none of the built-in ones is kept as
// it is (and written back) and drawn in the Aluminium look.
#pragma once

#include <QList>
#include <QObject>
#include <QPalette>
#include <QString>
#include <QStringList>

class QAction;

class SkinManager : public QObject {
    Q_OBJECT
public:
    explicit SkinManager(QObject* parent = nullptr);

    static const QStringList& builtInNames();
    static QString defaultName() { return QStringLiteral("Aluminium (internal)"); }

    void setSkinName(const QString& name);
    QString skinName() const { return name_; }
    // The built-in look actually drawn (the Aluminium one for unknown names).
    QString drawnLook() const { return look_; }

    // The style sheet text of a built-in look (filled once, then cached) and
    // the application palette that goes with it. Unknown names give the
    // Aluminium ones.
    static QString styleSheet(const QString& look);
    static QPalette palette(const QString& look);

signals:
    void skinChanged(const QString& name);

private:
    QString name_;
    QString look_;
};

namespace skins {

// The skin menu's items, one per row of the skin table in its order:
// object name, caption, the shortcut Ctrl+key for the whole window, and a
// trigger that sets the row's name on `skins`. The actions are children of
// `parent`.
QList<QAction*> createActions(SkinManager* skins, QObject* parent);

}  // namespace skins
