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

RecordSettings<ConversionSettings> declare(const UnitTable& table) {
    using S = ConversionSettings;
    const std::string& stem = table.sectionStem;
    RecordSettings<S> w(table.window, S{});
    w.add(timeLimitSetting(stem), member(&S::timeLimit));
    const std::string spins = spinSection(stem), toggles = switchSection(stem), choices = choiceSection(stem);
    std::vector<std::size_t> spinKeys;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const UnitRow& r = table.rows[i];
        spinKeys.push_back(w.add(integerKey(spins, r.spin, r.spinDefault, r.spinMin, r.spinMax), element(&S::maxima, i)));
    }
    for (std::size_t i = 0; i < table.size(); ++i)
        w.add(booleanKey(toggles, table.rows[i].toggle, true), element(&S::switchedOn, i));
    for (std::size_t i = 0; i < table.size(); ++i)
        w.add(booleanKey(choices, table.rows[i].choice, false), choice(&S::given, i));
    // The maxima are written in the table's own order for them.
    std::vector<std::size_t> written;
    for (std::size_t row : table.spinWriteOrder) written.push_back(spinKeys.at(row));
    w.writeInOrder(written);
    return w;
}

}  // namespace

const RecordSettings<ConversionSettings>& conversionSettings(const UnitTable& table) {
    return declaredOnce<ConversionSettings>(table, declare);
}

ConversionSettings loadConversionSettings(const SettingsFile& file, const UnitTable& table) {
    return conversionSettings(table).load(file);
}

WriteResult storeConversionSettings(const SettingsFile& file, const UnitTable& table,
                                    const ConversionSettings& s) {
    return conversionSettings(table).store(file, s);
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
