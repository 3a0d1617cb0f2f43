// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table of the built-in skins: one row per skin with its stored name,
// its menu item (caption, action name, Ctrl key), its glyph set and its
// colours, and the one style sheet template that each row fills. Adding a
// skin is one row in skin_table.cpp plus its glyph line in
// tools/make_icons.sh.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <Qt>
#include <vector>


// The colours a skin gives the application palette. The style sheet draws
// the controls; the palette is what the sheet leaves to the base style
// (dialog and message box chrome, text the windows do not colour
// themselves, selections) and what the sheet's own rules inherit. The
// template names them "palette-" and the role's name ("palette-base").
struct SkinInks {
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

// One value of the style sheet template: the placeholder ${role} becomes
// the value. A value is a whole CSS value ("1px solid #7f8790", a
// gradient) or, for roles where the skins differ in shape, a whole list of
// declarations ("border-color: #4f86c6;"), which may be empty.
struct SkinSlot {
    const char* role;
    const char* value;
};

struct SkinRow {
    const char* name;     // as stored in the settings file: "Aluminium (internal)"
    const char* caption;  // its item in the skin menu: "Aluminium Skin"
    const char* action;   // the item's object name: "AluminiumSkin1"
    Qt::Key key;          // the item's shortcut is Ctrl and this key
    const char* glyphs;   // prefix of its pictures: ":/pictures/<glyphs>-up.png", ...
    const char* texture;  // its window texture ":/pictures/<glyphs>-<texture>.png", or nullptr
    SkinInks inks;
    std::vector<SkinSlot> sheet;
};

namespace skins {

// Every built-in skin, in menu order; the first is the default.
const std::vector<SkinRow>& table();
// The row of a stored name, nullptr for a name that is none of them.
const SkinRow* find(const QString& name);

// The style sheet template as embedded (comments and all).
QString sheetTemplate();

// A template filled from one row. `unfilled` lists the placeholders the
// row gives no value for (they stay in the text as they are), `unused` the
// row's roles the template never asks for. Comments are dropped, and so is
// a rule whose declarations a row leaves empty.
struct FilledSheet {
    QString text;
    QStringList unfilled;
    QStringList unused;
};
FilledSheet fill(const QString& tmpl, const SkinRow& row);

// The keys whose Ctrl chord selects a skin.
QList<Qt::Key> shortcutKeys();

}  // namespace skins
