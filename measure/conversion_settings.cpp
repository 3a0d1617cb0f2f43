#include "measure/conversion_settings.h"

#include <algorithm>
#include <charconv>

#include "settings/settings_table.h"
#include "drill/drill_state.h"

namespace kob {

namespace {

ConversionSettings defaults(const UnitTable& table) {
    ConversionSettings s;
    s.timeLimit = kDefaultTimeLimit;
    for (const UnitRow& r : table.rows) s.maxima.push_back(r.spinDefault);
    s.switchedOn.assign(table.size(), true);
    return s;
}

}  // namespace

ConversionSettings loadConversionSettings(const SettingsFile& file, const UnitTable& table) {
    ConversionSettings s = defaults(table);
    const WindowSettings& w = windowSettings(table.window);
    for (const SettingValue& v : loadWindowSettings(file, w)) {
        const std::string& name = v.key->key;
        if (name == "IdoScroll") {
            s.timeLimit = clampTimeLimit(v.intValue);
            continue;
        }
        const int r = table.rowOf(name);
        if (r < 0) continue;
        const UnitRow& row = table.rows[std::size_t(r)];
        if (name == row.spin) {
            s.maxima[std::size_t(r)] = std::clamp(v.intValue, row.spinMin, row.spinMax);
        } else if (name == row.toggle) {
            s.switchedOn[std::size_t(r)] = v.intValue != 0;
        } else if (name == row.choice) {
            // Selecting one choice clears the others; storing false only
            // clears that one.
            if (v.intValue != 0) {
                s.given = std::size_t(r);
            } else if (s.given == std::size_t(r)) {
                s.given.reset();
            }
        }
    }
    return s;
}

WriteResult storeConversionSettings(const SettingsFile& file, const UnitTable& table,
                                    const ConversionSettings& s) {
    const WindowSettings& w = windowSettings(table.window);
    std::vector<SettingValue> values = defaultSettings(w);
    for (SettingValue& v : values) {
        const std::string& name = v.key->key;
        if (name == "IdoScroll") {
            v.intValue = s.timeLimit;
            continue;
        }
        const int r = table.rowOf(name);
        if (r < 0) continue;
        const std::size_t i = std::size_t(r);
        const UnitRow& row = table.rows[i];
        if (name == row.spin && i < s.maxima.size()) {
            v.intValue = s.maxima[i];
        } else if (name == row.toggle && i < s.switchedOn.size()) {
            v.intValue = s.switchedOn[i] ? 1 : 0;
        } else if (name == row.choice) {
            v.intValue = s.given == i ? 1 : 0;
        }
    }
    return storeWindowSettings(file, w, values);
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
