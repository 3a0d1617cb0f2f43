// Placeholder until the full table lands.
#include "app/settings_table.h"

#include <stdexcept>

namespace kob {
const std::vector<WindowSettings>& settingsTable() { static std::vector<WindowSettings> t; return t; }
const WindowSettings& windowSettings(const std::string& w) {
    for (const auto& x : settingsTable()) if (x.window == w) return x;
    static WindowSettings empty; return empty;
}
std::vector<SettingValue> loadWindowSettings(const SettingsFile&, const WindowSettings&) { return {}; }
WriteResult storeWindowSettings(const SettingsFile&, const WindowSettings&, const std::vector<SettingValue>&) { return {}; }
}  // namespace kob
