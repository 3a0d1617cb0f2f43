// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "arith/arith_settings.h"

namespace kob {

namespace {

RecordSettings<ArithSettings> declare(const ArithWindowData& data) {
    ArithSettings blank;
    blank.selected.reset();  // the stored buttons choose
    RecordSettings<ArithSettings> w(data.windowClass, blank);
    w.add(timeLimitSetting(data.sectionStem), member(&ArithSettings::timeLimit));
    const std::string section = choiceSection(data.sectionStem);
    for (std::size_t i = 0; i < data.buttons.size(); ++i)
        w.add(booleanKey(section, data.buttons[i].object, i == 0), choice(&ArithSettings::selected, i));
    return w;
}

}  // namespace

const RecordSettings<ArithSettings>& arithSettings(const ArithWindowData& data) {
    return declaredOnce<ArithSettings>(data, declare);
}

ArithSettings loadArithSettings(const SettingsFile& file, const ArithWindowData& data) {
    return arithSettings(data).load(file);
}

WriteResult storeArithSettings(const SettingsFile& file, const ArithWindowData& data, const ArithSettings& s) {
    return arithSettings(data).store(file, s);
}

}  // namespace kob
