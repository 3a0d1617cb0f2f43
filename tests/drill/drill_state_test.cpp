// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include "drill/drill_state.h"
#include "kit/cue.h"

using namespace kob;

TEST(DrillMechanics, ActivationZeroesCountersAndKeepsTheLimit) {
    DrillMechanics m;
    EXPECT_EQ(m.state().TimeLimit, kDefaultTimeLimit);
    m.activate();
    m.countQuestion();
    m.judge(true);
    m.tick();
    m.setTimeLimit(120);
    m.activate();
    const DrillState& s = m.state();
    EXPECT_EQ(s.TimeLimit, 120);
    EXPECT_EQ(s.AskedCount, 0);
    EXPECT_EQ(s.GoodCount, 0);
    EXPECT_EQ(s.BadCount, 0);
    EXPECT_EQ(s.LateCount, 0);
    EXPECT_EQ(s.ElapsedSeconds, 0);
    EXPECT_FALSE(s.LateFlag);
    EXPECT_FALSE(s.AnswerGood);
}

TEST(DrillMechanics, LateFlagRisesOnTheTickAfterTheLimit) {
    DrillMechanics m;
    m.setTimeLimit(1);
    m.activate();
    EXPECT_EQ(m.tick(), 0);  // gauge empty on the tick that reaches the limit
    EXPECT_FALSE(m.state().LateFlag);
    EXPECT_EQ(m.tick(), -1);
    EXPECT_TRUE(m.state().LateFlag);

    m.setTimeLimit(3);
    m.activate();
    for (int i = 0; i < 3; ++i) m.tick();
    EXPECT_FALSE(m.state().LateFlag);
    m.tick();
    EXPECT_TRUE(m.state().LateFlag);
}

TEST(DrillMechanics, RaisedLateFlagSurvivesALargerLimit) {
    DrillMechanics m;
    m.setTimeLimit(1);
    m.activate();
    m.tick();
    m.tick();
    ASSERT_TRUE(m.state().LateFlag);
    m.setTimeLimit(60);
    EXPECT_EQ(m.state().TimeLimit, 60);
    EXPECT_TRUE(m.state().LateFlag);
    EXPECT_EQ(m.state().ElapsedSeconds, 2);
}

TEST(DrillMechanics, JudgeCountsPercentageAndLateness) {
    DrillMechanics m;
    m.setTimeLimit(1);
    m.activate();
    m.countQuestion();
    m.tick();
    m.tick();
    Verdict v = m.judge(true);  // a late good answer
    EXPECT_TRUE(v.good);
    EXPECT_TRUE(v.late);
    EXPECT_EQ(v.cue, kob::Cue::Perfect);
    EXPECT_EQ(v.colour, kLogGreen);
    EXPECT_EQ(v.good_count, 1);
    EXPECT_EQ(v.late_count, 1);
    EXPECT_EQ(v.percent, 100);
    EXPECT_FALSE(m.state().LateFlag);
    EXPECT_EQ(m.state().ElapsedSeconds, 0);

    m.countQuestion();
    v = m.judge(false);
    EXPECT_EQ(v.cue, kob::Cue::Missed);
    EXPECT_EQ(v.colour, kLogRed);
    EXPECT_FALSE(v.late);
    EXPECT_EQ(v.percent, 50);
    m.countQuestion();
    v = m.judge(false);
    EXPECT_EQ(v.asked, 3);
    EXPECT_EQ(v.percent, 33);  // truncates
    EXPECT_EQ(v.bad_count, 2);
    EXPECT_EQ(v.late_count, 1);
}

TEST(DrillMechanics, PercentageNeverDividesByZero) {
    EXPECT_EQ(DrillMechanics::percentage(0, 0), 0);
    EXPECT_EQ(DrillMechanics::percentage(2, 3), 66);
    EXPECT_EQ(DrillMechanics::percentage(INT32_MAX, INT32_MAX), 100);
}

TEST(AnswerKeys, OnlyDigitsBackspaceAndEnterPass) {
    for (char32_t c = U'0'; c <= U'9'; ++c) EXPECT_TRUE(answerKeyPasses(c));
    EXPECT_TRUE(answerKeyPasses(8));
    EXPECT_TRUE(answerKeyPasses(13));
    for (char32_t c : {U'a', U' ', U'-', U'.', U',', U'+', U'\t', U'\x00e9', U'\x0663'})
        EXPECT_FALSE(answerKeyPasses(c)) << int(c);
}

TEST(AnswerKeys, InsertedTextIsCleanedToDigits) {
    EXPECT_EQ(answerDigits("12a3", 5), "123");
    EXPECT_EQ(answerDigits(" -4.5 ", 5), "45");
    EXPECT_EQ(answerDigits("1234567", 5), "12345");
    EXPECT_EQ(answerDigits("0566", 3), "056");
    EXPECT_EQ(answerDigits("\xd9\xa3x", 3), "");  // an Arabic-Indic three is no digit here
}
