// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The whole settings file: every window that keeps settings, in the file's
// order: the main window, the four arithmetic windows, the four conversion
// windows (25 sections). Assembled from each window family's own
// declarations, the very ones the windows read and write through; the main
// window's is declared here. Plain C++.
#pragma once

#include <string>
#include <vector>

#include "arith/arith_settings.h"
#include "measure/conversion_settings.h"
#include "settings/settings_table.h"

namespace kob {

// The main window's remembered options.
struct MainSettings {
    std::string skinName;  // [Skin] SkinName: the bytes of the file, whatever their encoding
};

struct SettingsRegistry {
    const RecordSettings<MainSettings>* main;
    std::vector<const RecordSettings<ArithSettings>*> arithmetic;       // addition, subtraction, ×, ÷
    std::vector<const RecordSettings<ConversionSettings>*> conversion;  // area, length, volume, mass
    std::vector<const WindowSettings*> windows;                         // every window's keys, in file order
};
const SettingsRegistry& settingsRegistry();

MainSettings loadMainSettings(const SettingsFile& file);
WriteResult storeMainSettings(const SettingsFile& file, const MainSettings& s);

// Every window's keys, in file order.
const std::vector<const WindowSettings*>& settingsTable();
// The window's keys; an unknown class name gives an entry without keys.
const WindowSettings& windowSettings(const std::string& windowClass);

}  // namespace kob
