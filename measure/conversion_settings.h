// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A conversion window's remembered options: time limit, the maximum of
// every unit, which units are switched on and which one is given. The keys
// come from the window's unit table: the time limit, then per row its spin
// box, its switch and its choice, each group in its own section. Read once
// when the window is created, written at every close. Also the reading of
// a spin box's text. Plain C++.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "drill/drill_state.h"
#include "measure/unit_table.h"
#include "settings/settings_table.h"

namespace kob {

struct ConversionSettings {
    int timeLimit = kDefaultTimeLimit;
    std::vector<int> maxima;             // per row, within the row's spin bounds
    std::vector<bool> switchedOn;        // per row
    std::optional<std::size_t> given;    // the selected choice
};

// The window's settings, declared once per unit table: in reading order the
// time limit, the spin boxes (default and range from the unit table) bound
// to `maxima`, the switches (default on) bound to `switchedOn` and the
// choices (default off) bound to `given`, each in row order. The spin boxes
// are written in the table's order for them (SpinNcm before SpinNdm).
const RecordSettings<ConversionSettings>& conversionSettings(const UnitTable& table);

// Reads the window's keys in their order. Spin values are clamped to the
// row's bounds; among the choices the last one stored as true wins, and
// none is selected when all are false.
ConversionSettings loadConversionSettings(const SettingsFile& file, const UnitTable& table);

// Writes every key of the window, in its writing order; a row the record
// has no value for is written with its default.
WriteResult storeConversionSettings(const SettingsFile& file, const UnitTable& table,
                                    const ConversionSettings& s);

// The whole number a spin box's text holds (one optional sign, then decimal
// digits, within the range of int), or none.
std::optional<int> spinTextNumber(const std::string& text);

// A spin box's text as the number it stores: its whole number, or 0 when it
// holds none.
int spinTextValue(const std::string& text);

// The value a spin box settles on when it is left: the text's number, or 0
// when it holds none, clamped to the box's bounds.
int spinSettledValue(const std::string& text, int minimum, int maximum);

}  // namespace kob
