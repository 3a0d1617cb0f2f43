#include "arith/arith_settings.h"

namespace kob {

namespace {

// Key 0 is the time limit; button i is key 1 + i.
constexpr std::size_t kTimeLimitIndex = 0;
constexpr std::size_t buttonIndex(std::size_t button) { return 1 + button; }

}  // namespace

WindowSettings arithWindowSettings(const ArithWindowSpec& spec) {
    WindowSettings w;
    w.window = spec.windowClass;
    w.add(timeLimitSetting(spec.sectionStem));
    const std::string section = choiceSection(spec.sectionStem);
    for (std::size_t i = 0; i < spec.buttons.size(); ++i) w.add(booleanKey(section, spec.buttons[i].object, i == 0));
    return w;
}

ArithSettings loadArithSettings(const SettingsFile& file, const ArithWindowSpec& spec) {
    const std::vector<SettingValue> v = loadWindowSettings(file, arithWindowSettings(spec));
    ArithSettings s;
    s.timeLimit = v[kTimeLimitIndex].intValue;
    s.selected.reset();
    for (std::size_t i = 0; i < spec.buttons.size(); ++i)
        if (v[buttonIndex(i)].intValue != 0) s.selected = i;
    return s;
}

WriteResult storeArithSettings(const SettingsFile& file, const ArithWindowSpec& spec, const ArithSettings& s) {
    const WindowSettings w = arithWindowSettings(spec);
    std::vector<SettingValue> v = defaultSettings(w);
    v[kTimeLimitIndex].intValue = s.timeLimit;
    for (std::size_t i = 0; i < spec.buttons.size(); ++i) v[buttonIndex(i)].intValue = s.selected == i ? 1 : 0;
    return storeWindowSettings(file, w, v);
}

}  // namespace kob
