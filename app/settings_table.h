// The whole settings file as one declarative table: every section, every
// key with its type, default and range, in reading order, with the writing
// order where it differs. Each window's load and store are loops over its
// rows. Plain C++, no toolkit.
#pragma once

#include <string>
#include <vector>

#include "app/settings_file.h"

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
// the four conversion windows. 25 sections in all.
const std::vector<WindowSettings>& settingsTable();
const WindowSettings& windowSettings(const std::string& windowClass);

// Reads the window's keys in reading order from one snapshot of the file.
std::vector<SettingValue> loadWindowSettings(const SettingsFile& file, const WindowSettings& w);

// Writes the given values (one per key of `w`, in reading order) in the
// window's writing order, in one atomic write.
WriteResult storeWindowSettings(const SettingsFile& file, const WindowSettings& w,
                                const std::vector<SettingValue>& values);

}  // namespace kob
