// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/settings_layout.h"

namespace kob {

namespace {

RecordSettings<MainSettings> declareMain() {
    RecordSettings<MainSettings> w("TForm1", MainSettings{});
    w.add(stringKey("Skin", "SkinName", "Aluminium (internal)"), member(&MainSettings::skinName));
    return w;
}

}  // namespace

const SettingsRegistry& settingsRegistry() {
    static const SettingsRegistry registry = [] {
        static const RecordSettings<MainSettings> main = declareMain();
        SettingsRegistry r{&main, {}, {}, {&main.keys()}};
        for (const ArithWindowData* d : {&additionData(), &subtractionData(), &multiplicationData(), &divisionData()}) {
            r.arithmetic.push_back(&arithSettings(*d));
            r.windows.push_back(&r.arithmetic.back()->keys());
        }
        for (const UnitTable* u : {&areaTable(), &lengthTable(), &volumeTable(), &massTable()}) {
            r.conversion.push_back(&conversionSettings(*u));
            r.windows.push_back(&r.conversion.back()->keys());
        }
        return r;
    }();
    return registry;
}

MainSettings loadMainSettings(const SettingsFile& file) { return settingsRegistry().main->load(file); }

WriteResult storeMainSettings(const SettingsFile& file, const MainSettings& s) {
    return settingsRegistry().main->store(file, s);
}

const std::vector<const WindowSettings*>& settingsTable() { return settingsRegistry().windows; }

const WindowSettings& windowSettings(const std::string& windowClass) {
    for (const WindowSettings* w : settingsTable())
        if (w->window == windowClass) return *w;
    static const WindowSettings none;
    return none;
}

}  // namespace kob
