// A conversion window's remembered options: time limit, the maximum of
// every unit, which units are switched on and which one is given. Read once
// when the window is created, written at every close, through the window's
// rows of the settings table. Plain C++.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "measure/unit_table.h"

namespace kob {

struct ConversionSettings {
    int timeLimit = 30;
    std::vector<int> maxima;             // per row, within the row's spin bounds
    std::vector<bool> switchedOn;        // per row
    std::optional<std::size_t> given;    // the selected choice
};

// Reads the window's keys in their order. Spin values are clamped to the
// row's bounds; among the choices the last one stored as true wins, and
// none is selected when all are false.
ConversionSettings loadConversionSettings(const SettingsFile& file, const UnitTable& table);

// Writes every key of the window (spin boxes in the writing order).
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
