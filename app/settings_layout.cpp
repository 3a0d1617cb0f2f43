// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/settings_layout.h"

#include "arith/arith_settings.h"
#include "measure/conversion_settings.h"

namespace kob {

WindowSettings mainWindowSettings() {
    WindowSettings w;
    w.window = "TForm1";
    w.add(stringKey("Skin", "SkinName", "Aluminium (internal)"));
    return w;
}

MainSettings loadMainSettings(const SettingsFile& file) {
    return {loadWindowSettings(file, mainWindowSettings()).front().stringValue};
}

WriteResult storeMainSettings(const SettingsFile& file, const MainSettings& s) {
    SettingValue name;
    name.stringValue = s.skinName;
    return storeWindowSettings(file, mainWindowSettings(), {name});
}

const std::vector<WindowSettings>& settingsTable() {
    static const std::vector<WindowSettings> table = [] {
        std::vector<WindowSettings> t;
        t.push_back(mainWindowSettings());
        for (const ArithWindowData* s : {&additionData(), &subtractionData(), &multiplicationData(), &divisionData()})
            t.push_back(arithWindowSettings(*s));
        for (const UnitTable* u : {&areaTable(), &lengthTable(), &volumeTable(), &massTable()})
            t.push_back(conversionWindowSettings(*u));
        return t;
    }();
    return table;
}

const WindowSettings& windowSettings(const std::string& windowClass) {
    for (const WindowSettings& w : settingsTable())
        if (w.window == windowClass) return w;
    static const WindowSettings none;
    return none;
}

}  // namespace kob
