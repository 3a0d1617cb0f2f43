// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The constant unit tables of the four conversion windows: for every unit
// row, top to bottom, its captions, log suffix, power of ten, the bounds,
// step and default of its maximum spin box, and the names of its controls
// (every window keeps the length window's control names, the area window
// adds the hectare row), which are also the row's keys in the settings
// file; and the names of the window's settings sections. Plain C++.
#pragma once

#include <string>
#include <vector>

namespace kob {

struct UnitRow {
    std::string caption;        // unit label: "km", "ha", "liter"
    std::string raised;         // the raised digit after the label ("2", "3") or ""
    std::string choiceCaption;  // radio button caption: "km2", "m3", "kg"
    std::string logSuffix;      // " km2 " (a row switched off logs " " instead)
    int exponent = 0;           // power of ten relative to the window's smallest unit

    // The maximum spin box: bounds, arrow step, the value it is built with
    // and the value a missing setting gives (a loaded one is clamped to the
    // bounds).
    int spinMin = 0;
    int spinMax = 0;
    int spinStep = 1;
    int spinDesign = 0;
    int spinDefault = 0;

    // Control names; the switch, choice and spin box also name the row's
    // keys in the settings file.
    std::string field;   // "Nkm", "Ha", ...
    std::string toggle;  // "CNkm"
    std::string choice;  // "RBNkm"
    std::string spin;    // "SpinKm"
    std::string label;   // "sLabel1"
    int labelWidth = 0;  // the unit label's width in pixels; 0: its text's and a little air
    std::string raisedLabel;  // "sLabel8" or ""
};

struct UnitTable {
    std::string window;       // the window class: "THosszuForm"
    std::string sectionStem;  // names its settings sections: "Hosszu" gives HosszuTimer, HosszuSpinek, ...
    std::vector<UnitRow> rows;
    // The rows in the order their maxima are written to the settings file
    // (read in row order): SpinNcm goes before SpinNdm.
    std::vector<std::size_t> spinWriteOrder;

    std::size_t size() const { return rows.size(); }
};

const UnitTable& areaTable();    // area: km2, ha, m2, dm2, cm2, mm2
const UnitTable& lengthTable();  // length: km, m, dm, cm, mm
const UnitTable& volumeTable();  // volume: m3, liter, dm3, cm3, mm3
const UnitTable& massTable();    // mass: t, q, kg, dkg, g

}  // namespace kob
