// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/drill_state.h"

#include "kit/cue.h"

namespace kob {

std::string timerSection(std::string_view stem) { return std::string(stem) + "Timer"; }
std::string choiceSection(std::string_view stem) { return std::string(stem) + "RadioButtonok"; }

SettingKey timeLimitSetting(std::string_view stem) {
    return integerKey(timerSection(stem), std::string(kTimeLimitKey), kDefaultTimeLimit, kMinTimeLimit,
                      kMaxTimeLimit);
}

void DrillMechanics::activate() {
    const DrillState kept = s_;
    s_ = DrillState{};
    s_.TimeLimit = kept.TimeLimit;
    s_.ExpectedAnswer = kept.ExpectedAnswer;  // the generator owns it
}

void DrillMechanics::setTimeLimit(int seconds) { s_.TimeLimit = static_cast<std::uint8_t>(seconds); }

int DrillMechanics::tick() {
    if (s_.ElapsedSeconds < INT32_MAX) ++s_.ElapsedSeconds;
    // The late flag rises on the tick after the limit has been reached.
    if (s_.ElapsedSeconds >= static_cast<std::int32_t>(s_.TimeLimit) + 1) s_.LateFlag = true;
    return static_cast<int>(s_.TimeLimit) - s_.ElapsedSeconds;
}

int DrillMechanics::percentage(std::int32_t good, std::int32_t asked) {
    if (asked <= 0) return 0;
    return static_cast<int>(static_cast<std::int64_t>(good) * 100 / asked);
}

Verdict DrillMechanics::judge(bool good) {
    Verdict v;
    s_.AnswerGood = good;
    v.late = s_.LateFlag;
    if (s_.LateFlag) ++s_.LateCount;
    if (good) {
        v.cue = Cue::Perfect;
        ++s_.GoodCount;
        v.colour = kLogGreen;
    } else {
        v.cue = Cue::Missed;
        ++s_.BadCount;
        v.colour = kLogRed;
    }
    v.good = good;
    v.asked = s_.AskedCount;
    v.good_count = s_.GoodCount;
    v.bad_count = s_.BadCount;
    v.late_count = s_.LateCount;
    v.percent = percentage(s_.GoodCount, s_.AskedCount);
    s_.ElapsedSeconds = 0;
    s_.LateFlag = false;
    return v;
}

bool answerKeyPasses(char32_t ch) { return (ch >= U'0' && ch <= U'9') || ch == 8 || ch == 13; }

std::string answerDigits(std::string_view text, std::size_t maxLen) {
    std::string out;
    for (char c : text) {
        if (c >= '0' && c <= '9' && out.size() < maxLen) out.push_back(c);
    }
    return out;
}

std::string timeLimitText(int seconds) { return std::to_string(seconds) + " mp"; }

}  // namespace kob
