// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "measure/conversion_settings.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace kob {

namespace {

std::string spinSection(std::string_view stem) { return std::string(stem) + "Spinek"; }      // the maxima
std::string switchSection(std::string_view stem) { return std::string(stem) + "CheckBoxok"; }  // the switches

// Where a window's keys stand: the time limit first, then the n spin boxes,
// the n switches and the n choices, each in row order.
struct KeyIndex {
    std::size_t rows;
    static constexpr std::size_t timeLimit = 0;
    std::size_t spin(std::size_t row) const { return 1 + row; }
    std::size_t toggle(std::size_t row) const { return 1 + rows + row; }
    std::size_t choice(std::size_t row) const { return 1 + 2 * rows + row; }
};

}  // namespace

WindowSettings conversionWindowSettings(const UnitTable& table) {
    const std::string& stem = table.sectionStem;
    WindowSettings w;
    w.window = table.window;
    w.add(timeLimitSetting(stem));
    const std::string spins = spinSection(stem), toggles = switchSection(stem), choices = choiceSection(stem);
    for (const UnitRow& r : table.rows) w.add(integerKey(spins, r.spin, r.spinDefault, r.spinMin, r.spinMax));
    for (const UnitRow& r : table.rows) w.add(booleanKey(toggles, r.toggle, true));
    for (const UnitRow& r : table.rows) w.add(booleanKey(choices, r.choice, false));
    // The maxima are written in the table's own order for them.
    const KeyIndex at{table.size()};
    for (std::size_t i = 0; i < table.spinWriteOrder.size(); ++i)
        w.writeOrder[at.spin(i)] = int(at.spin(table.spinWriteOrder[i]));
    return w;
}

ConversionSettings loadConversionSettings(const SettingsFile& file, const UnitTable& table) {
    const std::vector<SettingValue> v = loadWindowSettings(file, conversionWindowSettings(table));
    const KeyIndex at{table.size()};
    ConversionSettings s;
    s.timeLimit = v[at.timeLimit].intValue;
    for (std::size_t r = 0; r < table.size(); ++r) {
        s.maxima.push_back(v[at.spin(r)].intValue);
        s.switchedOn.push_back(v[at.toggle(r)].intValue != 0);
        // Selecting one choice clears the others; storing false only clears
        // that one, which is not selected yet: the last true one wins.
        if (v[at.choice(r)].intValue != 0) s.given = r;
    }
    return s;
}

WriteResult storeConversionSettings(const SettingsFile& file, const UnitTable& table,
                                    const ConversionSettings& s) {
    const WindowSettings w = conversionWindowSettings(table);
    std::vector<SettingValue> v = defaultSettings(w);
    const KeyIndex at{table.size()};
    v[at.timeLimit].intValue = s.timeLimit;
    for (std::size_t r = 0; r < table.size(); ++r) {
        if (r < s.maxima.size()) v[at.spin(r)].intValue = s.maxima[r];
        if (r < s.switchedOn.size()) v[at.toggle(r)].intValue = s.switchedOn[r] ? 1 : 0;
        v[at.choice(r)].intValue = s.given == r ? 1 : 0;
    }
    return storeWindowSettings(file, w, v);
}

std::optional<int> spinTextNumber(const std::string& text) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') {
        ++first;  // the spin box takes a plus sign, but only one sign
        if (first != last && *first == '-') return std::nullopt;
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || first == last) return std::nullopt;
    return value;
}

int spinTextValue(const std::string& text) { return spinTextNumber(text).value_or(0); }

int spinSettledValue(const std::string& text, int minimum, int maximum) {
    return std::clamp(spinTextValue(text), minimum, std::max(minimum, maximum));
}

}  // namespace kob
