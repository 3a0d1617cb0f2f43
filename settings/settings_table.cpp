// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/settings_table.h"

#include <algorithm>
#include <utility>

namespace kob {

SettingKey stringKey(std::string section, std::string key, std::string def) {
    return {std::move(section), std::move(key), SettingType::String, 0, std::move(def), 0, 0};
}

SettingKey integerKey(std::string section, std::string key, int def, int min, int max) {
    return {std::move(section), std::move(key), SettingType::Integer, def, {}, min, max};
}

SettingKey booleanKey(std::string section, std::string key, bool def) {
    return {std::move(section), std::move(key), SettingType::Boolean, def ? 1 : 0, {}, 0, 1};
}

std::size_t WindowSettings::add(SettingKey key) {
    keys.push_back(std::move(key));
    writeOrder.push_back(int(keys.size() - 1));
    return keys.size() - 1;
}

void WindowSettings::writeInOrder(const std::vector<std::size_t>& indices) {
    std::vector<std::size_t> places;  // where the keys stand in the writing order, in that order
    for (std::size_t p = 0; p < writeOrder.size(); ++p)
        if (std::find(indices.begin(), indices.end(), std::size_t(writeOrder[p])) != indices.end()) places.push_back(p);
    for (std::size_t i = 0; i < places.size() && i < indices.size(); ++i) writeOrder[places[i]] = int(indices[i]);
}

SettingValue defaultValue(const SettingKey& k) {
    SettingValue v;
    v.intValue = k.defaultInt;
    v.stringValue = k.defaultString;
    return v;
}

std::vector<SettingValue> loadWindowSettings(const SettingsFile& file, const WindowSettings& w) {
    const SettingsFile::Reader reader = file.read();
    std::vector<SettingValue> values;
    values.reserve(w.keys.size());
    for (const SettingKey& k : w.keys) {
        SettingValue v = defaultValue(k);
        switch (k.type) {
        case SettingType::String:
            v.stringValue = reader.readString(k.section, k.key, k.defaultString);
            break;
        case SettingType::Integer:
            v.intValue = std::clamp(reader.readInt(k.section, k.key, k.defaultInt), k.min, k.max);
            break;
        case SettingType::Boolean:
            v.intValue = reader.readBool(k.section, k.key, k.defaultInt != 0) ? 1 : 0;
            break;
        }
        values.push_back(std::move(v));
    }
    return values;
}

WriteResult storeWindowSettings(const SettingsFile& file, const WindowSettings& w,
                                const std::vector<SettingValue>& values) {
    std::vector<IniEntry> entries;
    entries.reserve(w.writeOrder.size());
    for (int index : w.writeOrder) {
        const SettingKey& k = w.keys[std::size_t(index)];
        const bool given = std::size_t(index) < values.size();
        const int number = given ? values[std::size_t(index)].intValue : k.defaultInt;
        std::string text;
        switch (k.type) {
        case SettingType::String: text = given ? values[std::size_t(index)].stringValue : k.defaultString; break;
        case SettingType::Integer: text = std::to_string(number); break;
        case SettingType::Boolean: text.assign(1, number != 0 ? '1' : '0'); break;
        }
        entries.push_back({k.section, k.key, std::move(text)});
    }
    return file.write(entries);
}

std::vector<SettingValue> defaultSettings(const WindowSettings& w) {
    std::vector<SettingValue> values;
    values.reserve(w.keys.size());
    for (const SettingKey& k : w.keys) values.push_back(defaultValue(k));
    return values;
}

}  // namespace kob
