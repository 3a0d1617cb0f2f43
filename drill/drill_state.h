// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The drill machinery every drill window repeats: the per-question
// countdown with the late rule, the four counters, the percentage, the
// verdict a window renders (cue, log colour, counters) and the time limit's
// key in the settings file. Plain C++.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "kit/cue_fwd.h"
#include "settings/settings_table.h"

namespace kob {

// Log colours as 0xRRGGBB.
inline constexpr std::uint32_t kLogGreen = 0x008000;  // good answer
inline constexpr std::uint32_t kLogRed = 0xFF0000;    // bad answer

inline constexpr int kMinTimeLimit = 1;
inline constexpr int kMaxTimeLimit = 120;
inline constexpr int kDefaultTimeLimit = 30;

struct DrillState {
    std::uint8_t TimeLimit = kDefaultTimeLimit;
    std::int32_t ElapsedSeconds = 0;
    bool LateFlag = false;
    std::int32_t AskedCount = 0;
    std::int32_t GoodCount = 0;
    std::int32_t BadCount = 0;
    std::int32_t LateCount = 0;
    bool AnswerGood = false;
    std::int32_t ExpectedAnswer = 0;
};

// What a check leaves for the window to show, in the order it shows it.
struct Verdict {
    bool good = false;
    bool late = false;           // LateFlag was raised at the check
    Cue cue{};                   // Perfect or Missed (judge() sets it)
    std::uint32_t colour = 0;    // kLogGreen or kLogRed
    std::int32_t asked = 0, good_count = 0, bad_count = 0, late_count = 0;
    int percent = 0;             // good * 100 div asked, truncating
};

class DrillMechanics {
public:
    DrillState& state() { return s_; }
    const DrillState& state() const { return s_; }

    // A fresh run: counters and clock to zero; the time limit stays.
    void activate();

    // The drill's time limit is the one value the bar and the settings show
    // and store. It changes at once; a raised late flag stays. The seconds
    // lie in 1..120: they come from the settings reader, which clamps what
    // the file holds, or from the bar, whose range is that.
    void setTimeLimit(int seconds);

    // One timer tick. Returns the countdown gauge's progress
    // (TimeLimit - ElapsedSeconds; the gauge clamps it).
    int tick();

    // A question is posed (arithmetic windows count it when generated).
    void countQuestion() { ++s_.AskedCount; }

    // Judges an answer already compared by the caller: counts late, good or
    // bad, computes the percentage, then resets the clock and the late flag.
    Verdict judge(bool good);

    // The percentage of good answers; 0 while nothing was asked.
    static int percentage(std::int32_t good, std::int32_t asked);

private:
    DrillState s_;
};

// A drill window's sections in the settings file are named by the window's
// stem ("Ossze", "Hosszu") and what they hold.
std::string timerSection(std::string_view stem);   // "<stem>Timer": the time limit
std::string choiceSection(std::string_view stem);  // "<stem>RadioButtonok": the radio buttons
// The time limit's key in the timer section.
inline constexpr std::string_view kTimeLimitKey = "IdoScroll";

// A drill window's time limit in the settings file: the key IdoScroll of
// the timer section of the window's `stem`, default 30, range 1..120.
SettingKey timeLimitSetting(std::string_view stem);

// The answer-key filter of the arithmetic windows: digits, Backspace (8)
// and Enter (13) pass; everything else is swallowed.
bool answerKeyPasses(char32_t ch);

// What may stand in an answer field: its digits only, at most maxLen of them
// (pasted or otherwise inserted text is cleaned the same way).
std::string answerDigits(std::string_view text, std::size_t maxLen);

// The text shown for the time limit: "30 mp".
std::string timeLimitText(int seconds);

}  // namespace kob
