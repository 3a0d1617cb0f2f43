// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A window's keys in the settings file and their reading and writing: the
// key types, defaults and ranges, a window's keys in its reading order with
// its writing order, loading (integers clamped to their range) and storing
// in one write. Each window family declares its own keys and names its own
// sections from its own tables (drill/drill_state: the time limit and the
// radio buttons' section; arith/arith_settings; measure/conversion_settings);
// the whole file is app/settings_layout.
// Plain C++, no toolkit.
#pragma once

#include <string>
#include <vector>

#include "settings/settings_file.h"

namespace kob {

enum class SettingType { String, Integer, Boolean };

struct SettingKey {
    std::string section;
    std::string key;
    SettingType type;
    int defaultInt = 0;            // integer default, or 0/1 for booleans
    std::string defaultString;     // string default
    int min = 0;                   // integer range (clamped on load); 0..1 for booleans
    int max = 0;
};

SettingKey stringKey(std::string section, std::string key, std::string def);
SettingKey integerKey(std::string section, std::string key, int def, int min, int max);
SettingKey booleanKey(std::string section, std::string key, bool def);

// The keys of one window, in the order it reads them, and the order it
// writes them (indices into `keys`).
struct WindowSettings {
    std::string window;            // class name, e.g. "TOsszeadForm"
    std::vector<SettingKey> keys;  // reading order
    std::vector<int> writeOrder;   // writing order

    // Appends a key to both orders; returns its index.
    std::size_t add(SettingKey key);
};

// One value of a window, for the key at the same index.
struct SettingValue {
    int intValue = 0;              // integers and booleans (0/1)
    std::string stringValue;       // strings
};

// Reads the window's keys in reading order from one snapshot of the file:
// one value per key, at the key's index; integers clamped to their range.
std::vector<SettingValue> loadWindowSettings(const SettingsFile& file, const WindowSettings& w);

// Writes the values (value i for key i) in the window's writing order, in
// one atomic write: integers in decimal, booleans as "1" or "0", strings as
// they are. Keys beyond the values given are written with their defaults.
// Values are written as given, not clamped.
WriteResult storeWindowSettings(const SettingsFile& file, const WindowSettings& w,
                                const std::vector<SettingValue>& values);

// One value per key of `w`, each holding its default.
std::vector<SettingValue> defaultSettings(const WindowSettings& w);

}  // namespace kob
