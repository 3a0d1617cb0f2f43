// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "arith/arith_drill.h"
#include "arith/arith_questions.h"
#include "arith/arith_data.h"
#include "kit/cue.h"

using namespace kob;

namespace {

// Hands out scripted values (each taken modulo the bound) and writes down
// every reseed ("r") and every draw (its bound) in the order they happen.
class Script : public RandomSource {
public:
    explicit Script(std::deque<int> values, std::vector<std::string>* log = nullptr)
        : values_(std::move(values)), log_(log ? log : &own_) {}
    void reseed() override { log_->push_back("r"); }
    int uniform(int n) override {
        log_->push_back(std::to_string(n));
        if (n <= 0 || values_.empty()) return 0;
        const int v = values_.front();
        values_.pop_front();
        return v % n;
    }
    const std::vector<std::string>& log() const { return *log_; }
    bool exhausted() const { return values_.empty(); }

private:
    std::deque<int> values_;
    std::vector<std::string> own_;
    std::vector<std::string>* log_;
};

using Log = std::vector<std::string>;

}  // namespace

// ---- addition ----------------------------------------------------------

TEST(Addition, DrawsTheSumFirstThenSplitsIt) {
    Script r({6, 0});
    EXPECT_EQ(drawAddition(r, 10), (Operands{0, 7}));  // 0+7 is a question
    EXPECT_EQ(r.log(), (Log{"10", "7"}));

    Script top({9, 9});
    EXPECT_EQ(drawAddition(top, 10), (Operands{9, 1}));
    Script big({9999, 0});
    const Operands o = drawAddition(big, 10000);
    EXPECT_EQ(o, (Operands{0, 10000}));
    EXPECT_EQ(answerFor(ArithOp::Add, o), 10000);
}

TEST(Addition, EveryDrawStaysInRangeAndNeverAddsZero) {
    for (int limit : {10, 20, 100}) {
        for (int s = 0; s < limit; ++s) {
            for (int split = 0; split <= s; ++split) {
                Script r({s, split});
                const Operands o = drawAddition(r, limit);
                EXPECT_GE(o.left, 0);
                EXPECT_GE(o.right, 1) << o.left << "+" << o.right;
                EXPECT_LE(o.left + o.right, limit);
                EXPECT_EQ(o.left + o.right, s + 1);
            }
        }
    }
}

// ---- subtraction -------------------------------------------------------

TEST(Subtraction, EqualOperandsAreAllowed) {
    Script r({4, 4});
    const Operands o = drawSubtraction(r, 10);
    EXPECT_EQ(o, (Operands{5, 5}));
    EXPECT_EQ(answerFor(ArithOp::Subtract, o), 0);
    EXPECT_EQ(r.log(), (Log{"10", "10"}));
}

TEST(Subtraction, RedrawsBothWhileTheSubtrahendIsLarger) {
    // 3-8 and 1-10 are thrown away, both numbers each time.
    Script r({2, 7, 0, 9, 5, 3});
    EXPECT_EQ(drawSubtraction(r, 10), (Operands{6, 4}));
    EXPECT_EQ(r.log(), (Log{"10", "10", "10", "10", "10", "10"}));
    EXPECT_TRUE(r.exhausted());
}

TEST(Subtraction, NeverNegativeAndBothAtLeastOne) {
    for (int m = 0; m < 20; ++m) {
        for (int s = 0; s < 20; ++s) {
            Script r({m, s, 7, 2});  // a rejected pair falls back to 8-3
            const Operands o = drawSubtraction(r, 20);
            EXPECT_GE(o.right, 1);
            EXPECT_LE(o.left, 20);
            EXPECT_GE(answerFor(ArithOp::Subtract, o), 0) << o.left << "-" << o.right;
        }
    }
}

// ---- multiplication and division -----------------------------------------

TEST(TableDrills, MakeExactlyTwoDrawsInOrderWhateverIsSelected) {
    for (Choice c : {Choice::fixed(7), Choice::randomTable(), Choice::none()}) {
        Script mul({7, 3});
        const Operands m = drawMultiplication(mul, c, 10);
        EXPECT_EQ(mul.log(), (Log{"10", "10"}));
        EXPECT_EQ(m.left, 8);  // the first draw is the factor
        Script div({6, 3});
        const Operands d = drawDivision(div, c, 10);
        EXPECT_EQ(div.log(), (Log{"10", "10"}));
        EXPECT_EQ(answerFor(ArithOp::Divide, d), 7);  // the first draw is the quotient
    }
}

TEST(TableDrills, SelectedRandomOrShownTable) {
    Script a({7, 3});
    EXPECT_EQ(drawMultiplication(a, Choice::fixed(7), 10), (Operands{8, 7}));
    Script b({7, 3});
    EXPECT_EQ(drawMultiplication(b, Choice::randomTable(), 10), (Operands{8, 4}));
    Script c({7, 3});
    EXPECT_EQ(drawMultiplication(c, Choice::none(), 6), (Operands{8, 6}));

    // "Véletlen" can ask the table of 1, which no button offers.
    Script one({4, 0});
    EXPECT_EQ(drawMultiplication(one, Choice::randomTable(), 10), (Operands{5, 1}));
    Script d({6, 7});
    const Operands q = drawDivision(d, Choice::fixed(8), 10);
    EXPECT_EQ(q, (Operands{56, 8}));
    EXPECT_EQ(answerFor(ArithOp::Divide, q), 7);
    Script e({2, 0});
    EXPECT_EQ(drawDivision(e, Choice::randomTable(), 10), (Operands{3, 1}));
}

TEST(TableDrills, DivisionNeverLeavesARemainder) {
    std::vector<Choice> choices{Choice::randomTable()};
    for (int table = 2; table <= 10; ++table) choices.push_back(Choice::fixed(table));
    for (int q = 0; q < 10; ++q) {
        for (int t = 0; t < 10; ++t) {
            for (Choice c : choices) {
                Script r({q, t});
                const Operands o = drawDivision(r, c, 10);
                ASSERT_GT(o.right, 0);
                EXPECT_EQ(o.left % o.right, 0) << o.left << ":" << o.right;
                EXPECT_LE(o.left, 100);
                EXPECT_EQ(answerFor(ArithOp::Divide, o), q + 1);
            }
        }
    }
}

// ---- nothing selected ----------------------------------------------------

TEST(NoSelection, AdditionAndSubtractionKeepWhatIsShownAndDrawNothing) {
    Script r({3, 3, 3});
    EXPECT_EQ(nextOperands(ArithOp::Add, r, Choice::none(), {12, 30}), (Operands{12, 30}));
    EXPECT_EQ(nextOperands(ArithOp::Subtract, r, Choice::none(), {9, 4}), (Operands{9, 4}));
    EXPECT_TRUE(r.log().empty());
}

TEST(NoSelection, TheFirstQuestionIsJudgedByTheDesignTexts) {
    struct Case {
        const ArithWindowData* data;
        std::string left, right;
        int expected;
    };
    // Multiplication and division still draw their left side; the table
    // on screen stays.
    const Case cases[] = {
        {&additionData(), "10000", "10000", 20000},
        {&subtractionData(), "10000", "10000", 0},
        {&multiplicationData(), "4", "10", 40},
        {&divisionData(), "352", "88", 4},
    };
    for (const Case& c : cases) {
        ArithDrill d(c.data->op, c.data->design, std::make_unique<Script>(std::deque<int>{3, 5}));
        d.activate();
        d.General(Choice::none());
        EXPECT_EQ(d.leftText(), c.left) << c.data->title;
        EXPECT_EQ(d.rightText(), c.right) << c.data->title;
        EXPECT_EQ(d.state().ExpectedAnswer, c.expected) << c.data->title;
        const auto checked = d.Ellenorzes(std::to_string(c.expected));
        ASSERT_TRUE(checked);
        EXPECT_TRUE(checked->verdict.good) << c.data->title;
    }
}

// ---- the drill object ------------------------------------------------------

TEST(ArithDrill, EachQuestionIsCountedAndReseededBeforeItsDraws) {
    Log log;
    ArithDrill d(ArithOp::Multiply, {10, 10}, std::make_unique<Script>(std::deque<int>{6, 0, 1, 1}, &log));
    d.activate();
    d.General(Choice::fixed(3));
    EXPECT_EQ(d.state().AskedCount, 1);
    EXPECT_EQ(d.operands(), (Operands{7, 3}));
    EXPECT_EQ(d.state().ExpectedAnswer, 21);
    d.General(Choice::randomTable());
    EXPECT_EQ(d.state().AskedCount, 2);
    EXPECT_EQ(d.operands(), (Operands{2, 2}));
    EXPECT_EQ(log, (Log{"r", "10", "10", "r", "10", "10"}));
}

TEST(ArithDrill, LogLinesCarryTheTypedAnswerAndTheLateMark) {
    // 3+4 answered in time.
    ArithDrill add(ArithOp::Add, {10000, 10000}, std::make_unique<Script>(std::deque<int>{6, 3}));
    add.activate();
    add.General(Choice::fixed(10));
    auto c = add.Ellenorzes("7");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->logLine, "3+4=7");
    EXPECT_TRUE(c->verdict.good);
    EXPECT_EQ(c->verdict.colour, kLogGreen);
    EXPECT_EQ(c->verdict.cue, kob::Cue::Perfect);

    // 12-5 answered 6, late.
    ArithDrill sub(ArithOp::Subtract, {10000, 10000}, std::make_unique<Script>(std::deque<int>{11, 4}));
    sub.mechanics().setTimeLimit(1);
    sub.activate();
    sub.General(Choice::fixed(20));
    sub.mechanics().tick();
    sub.mechanics().tick();
    c = sub.Ellenorzes("6");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->logLine, "12-5=6^");
    EXPECT_FALSE(c->verdict.good);
    EXPECT_TRUE(c->verdict.late);
    EXPECT_EQ(c->verdict.colour, kLogRed);
    EXPECT_EQ(c->verdict.cue, kob::Cue::Missed);
    EXPECT_EQ(c->verdict.late_count, 1);
    EXPECT_FALSE(sub.state().LateFlag);  // reset for the next question

    // Leading zeros count by value and stay in the log.
    ArithDrill mul(ArithOp::Multiply, {10, 10}, std::make_unique<Script>(std::deque<int>{6, 0}));
    mul.activate();
    mul.General(Choice::fixed(8));
    c = mul.Ellenorzes("056");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->logLine, "7*8=056");
    EXPECT_TRUE(c->verdict.good);

    ArithDrill div(ArithOp::Divide, {100, 88}, std::make_unique<Script>(std::deque<int>{6, 0}));
    div.mechanics().setTimeLimit(1);
    div.activate();
    div.General(Choice::fixed(8));
    div.mechanics().tick();
    div.mechanics().tick();
    c = div.Ellenorzes("7");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->logLine, "56:8=7^");
    EXPECT_TRUE(c->verdict.good);
}

TEST(ArithDrill, PercentageIsGoodOutOfAnsweredAndTruncates) {
    ArithDrill d(ArithOp::Add, {0, 0}, std::make_unique<Script>(std::deque<int>{}));
    d.activate();
    int percent = -1;
    for (const char* answer : {"1", "5", "1"}) {  // the empty script always asks 0+1
        d.General(Choice::fixed(10));
        percent = d.Ellenorzes(answer)->verdict.percent;
    }
    EXPECT_EQ(d.state().GoodCount, 2);
    EXPECT_EQ(d.state().BadCount, 1);
    EXPECT_EQ(percent, 66);
}

TEST(ArithDrill, TextThatIsNoNumberChangesNothing) {
    ArithDrill d(ArithOp::Add, {0, 0}, std::make_unique<Script>(std::deque<int>{}));
    d.activate();
    d.General(Choice::fixed(10));
    for (const char* bad : {"", "1a", "-1", "1.5", "1234567890"}) {
        EXPECT_FALSE(d.Ellenorzes(bad)) << bad;
    }
    EXPECT_EQ(d.state().GoodCount + d.state().BadCount, 0);
    int v = 0;
    ASSERT_TRUE(parseAnswer("00056", v));
    EXPECT_EQ(v, 56);
}
