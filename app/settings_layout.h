// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The whole settings file: every window that keeps settings with its keys,
// in the file's order: the main window, the four arithmetic windows, the
// four conversion windows (25 sections). Assembled from each window
// family's own keys; the main window's key is declared here. Plain C++.
#pragma once

#include <string>
#include <vector>

#include "settings/settings_table.h"

namespace kob {

// The main window's key: [Skin] SkinName, default "Aluminium (internal)".
WindowSettings mainWindowSettings();

// The main window's remembered options, read and written through its key.
struct MainSettings {
    std::string skinName;  // the bytes of the file, whatever their encoding
};
MainSettings loadMainSettings(const SettingsFile& file);
WriteResult storeMainSettings(const SettingsFile& file, const MainSettings& s);

const std::vector<WindowSettings>& settingsTable();
// The window's entry; an unknown class name gives an entry without keys.
const WindowSettings& windowSettings(const std::string& windowClass);

}  // namespace kob
