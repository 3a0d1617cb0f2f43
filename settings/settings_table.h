// The whole settings file as one declarative table: every section, every
// key with its type, default and range, in reading order, with the writing
// order where it differs. Each window's load and store are loops over its
// rows. Plain C++, no toolkit.
#pragma once

#include <string>
#include <string_view>
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
    int min = 0;                   // integer range (clamped by the control)
    int max = 0;
};

// The keys of one window, in the order it reads them, and the order it
// writes them (indices into `keys`).
struct WindowSettings {
    std::string window;            // class name, e.g. "TOsszeadForm"
    std::vector<SettingKey> keys;  // reading order
    std::vector<int> writeOrder;   // writing order
};

// One loaded value, already clamped for integers.
struct SettingValue {
    const SettingKey* key = nullptr;
    int intValue = 0;              // integers and booleans (0/1)
    std::string stringValue;       // strings
};

// All windows that keep settings: TForm1, the four arithmetic windows and
// the four conversion windows. 25 sections in all. Booleans have the range
// 0..1.
const std::vector<WindowSettings>& settingsTable();
// The window's entry; an unknown class name gives an entry without keys.
const WindowSettings& windowSettings(const std::string& windowClass);

// Reads the window's keys in reading order from one snapshot of the file.
std::vector<SettingValue> loadWindowSettings(const SettingsFile& file, const WindowSettings& w);

// Writes the given values (one per key of `w`, in reading order) in the
// window's writing order, in one atomic write: integers in decimal, booleans
// as "1" or "0", strings as they are. Each key takes the value whose `key`
// points at it (or names the same section and key, or, without a `key`,
// stands at the key's place); a key without a value is written with its
// default. Values are written as given, not clamped.
WriteResult storeWindowSettings(const SettingsFile& file, const WindowSettings& w,
                                const std::vector<SettingValue>& values);

// Helpers for the windows. A window's key names are unique within it, so a
// key name alone finds a value:
//
//     const kob::WindowSettings& w = kob::windowSettings("THosszuForm");
//     auto values = kob::loadWindowSettings(file, w);
//     SpinKm->setValue(kob::findSetting(values, "SpinKm")->intValue);
//     ...
//     auto out = kob::defaultSettings(w);
//     kob::findSetting(out, "SpinKm")->intValue = SpinKm->value();
//     kob::storeWindowSettings(file, w, out);
//
// The value of the key named `key` (exact spelling), or nullptr.
const SettingValue* findSetting(const std::vector<SettingValue>& values, std::string_view key);
SettingValue* findSetting(std::vector<SettingValue>& values, std::string_view key);

// One value per key of `w`, in reading order, each holding its default.
std::vector<SettingValue> defaultSettings(const WindowSettings& w);

}  // namespace kob
