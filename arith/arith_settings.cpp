// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "arith/arith_settings.h"

namespace kob {

namespace {

// Key 0 is the time limit; button i is key 1 + i.
constexpr std::size_t kTimeLimitIndex = 0;
constexpr std::size_t buttonIndex(std::size_t button) { return 1 + button; }

}  // namespace

WindowSettings arithWindowSettings(const ArithWindowData& data) {
    WindowSettings w;
    w.window = data.windowClass;
    w.add(timeLimitSetting(data.sectionStem));
    const std::string section = choiceSection(data.sectionStem);
    for (std::size_t i = 0; i < data.buttons.size(); ++i) w.add(booleanKey(section, data.buttons[i].object, i == 0));
    return w;
}

ArithSettings loadArithSettings(const SettingsFile& file, const ArithWindowData& data) {
    const std::vector<SettingValue> v = loadWindowSettings(file, arithWindowSettings(data));
    ArithSettings s;
    s.timeLimit = v[kTimeLimitIndex].intValue;
    s.selected.reset();
    for (std::size_t i = 0; i < data.buttons.size(); ++i)
        if (v[buttonIndex(i)].intValue != 0) s.selected = i;
    return s;
}

WriteResult storeArithSettings(const SettingsFile& file, const ArithWindowData& data, const ArithSettings& s) {
    const WindowSettings w = arithWindowSettings(data);
    std::vector<SettingValue> v = defaultSettings(w);
    v[kTimeLimitIndex].intValue = s.timeLimit;
    for (std::size_t i = 0; i < data.buttons.size(); ++i) v[buttonIndex(i)].intValue = s.selected == i ? 1 : 0;
    return storeWindowSettings(file, w, v);
}

}  // namespace kob
