// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "kit/cue.h"
#include "measure/conversion_engine.h"

using namespace kob;

namespace {

// Gives the scripted draws in order and counts the reseeds.
class Script : public RandomSource {
public:
    explicit Script(std::deque<int> values, int* reseeds = nullptr, std::vector<int>* bounds = nullptr)
        : values_(std::move(values)), reseeds_(reseeds), bounds_(bounds) {}
    void reseed() override {
        if (reseeds_) ++*reseeds_;
    }
    int uniform(int n) override {
        if (bounds_) bounds_->push_back(n);
        if (values_.empty()) return 0;
        const int v = values_.front();
        values_.pop_front();
        return v % n;
    }

private:
    std::deque<int> values_;
    int* reseeds_;
    std::vector<int>* bounds_;
};

std::vector<std::int64_t> bigMaxima(const UnitTable& t) { return std::vector<std::int64_t>(t.size(), 100000000); }

// A run with `value` drawn for the row `given`; returns the expected values
// in their plain form.
std::vector<std::string> expectedFor(const UnitTable& t, std::size_t given, int value) {
    ConversionEngine e(t, std::make_unique<Script>(std::deque<int>{value - 1}));
    e.activate();
    const auto shown = e.newTask(given, bigMaxima(t));
    EXPECT_EQ(shown, std::to_string(value));
    std::vector<std::string> out;
    for (const Decimal& d : e.state().ExpectedValues) out.push_back(d.toString());
    return out;
}

ConversionAnswer answer(std::vector<std::string> texts, std::vector<bool> on, std::optional<std::size_t> given) {
    return {std::move(texts), std::move(on), given};
}

// An engine on the length table with the given unit m and the value 2.
struct LengthTask {
    ConversionEngine e{lengthTable(), std::make_unique<Script>(std::deque<int>{1})};
    LengthTask() {
        e.activate();
        e.newTask(1, bigMaxima(lengthTable()));
    }
};

const std::vector<bool> kAllOn(5, true);

}  // namespace

TEST(UnitTables, ExpectedValuesOfTheArea) {
    EXPECT_EQ(expectedFor(areaTable(), 0, 3),
              (std::vector<std::string>{"3", "300", "3000000", "300000000", "30000000000", "3000000000000"}));
    EXPECT_EQ(expectedFor(areaTable(), 5, 1),
              (std::vector<std::string>{"0.000000000001", "0.0000000001", "0.000001", "0.0001", "0.01", "1"}));
    EXPECT_EQ(expectedFor(areaTable(), 0, 100).back(), "100000000000000");
    EXPECT_EQ(expectedFor(areaTable(), 2, 250000)[0], "0.25");
    EXPECT_EQ(expectedFor(areaTable(), 2, 250000)[1], "25");
    EXPECT_EQ(expectedFor(areaTable(), 1, 37),
              (std::vector<std::string>{"0.37", "37", "370000", "37000000", "3700000000", "370000000000"}));
    EXPECT_EQ(expectedFor(areaTable(), 4, 125),
              (std::vector<std::string>{"0.0000000125", "0.00000125", "0.0125", "1.25", "125", "12500"}));
    EXPECT_EQ(expectedFor(areaTable(), 5, 5000000)[0], "0.000005");
}

TEST(UnitTables, ExpectedValuesOfLengthVolumeAndMass) {
    EXPECT_EQ(expectedFor(lengthTable(), 0, 1000).back(), "1000000000");
    EXPECT_EQ(expectedFor(lengthTable(), 3, 7),
              (std::vector<std::string>{"0.00007", "0.07", "0.7", "7", "70"}));
    EXPECT_EQ(expectedFor(lengthTable(), 4, 1),
              (std::vector<std::string>{"0.000001", "0.001", "0.01", "0.1", "1"}));
    EXPECT_EQ(expectedFor(volumeTable(), 0, 100).back(), "100000000000");
    EXPECT_EQ(expectedFor(volumeTable(), 0, 1),
              (std::vector<std::string>{"1", "1000", "1000", "1000000", "1000000000"}));
    // Litre and cubic decimetre are the same unit.
    EXPECT_EQ(expectedFor(volumeTable(), 1, 250), (std::vector<std::string>{"0.25", "250", "250", "250000", "250000000"}));
    EXPECT_EQ(expectedFor(volumeTable(), 2, 250)[1], "250");
    EXPECT_EQ(expectedFor(volumeTable(), 4, 1)[0], "0.000000001");
    EXPECT_EQ(expectedFor(massTable(), 1, 3), (std::vector<std::string>{"0.3", "3", "300", "30000", "300000"}));
    EXPECT_EQ(expectedFor(massTable(), 0, 1), (std::vector<std::string>{"1", "10", "1000", "100000", "1000000"}));
    EXPECT_EQ(expectedFor(massTable(), 4, 5),
              (std::vector<std::string>{"0.000005", "0.00005", "0.005", "0.5", "5"}));
    EXPECT_EQ(expectedFor(massTable(), 3, 40)[2], "0.4");
    EXPECT_EQ(expectedFor(massTable(), 3, 40)[4], "400");
}

TEST(ConversionCheck, TypedFormsJudgedExactly) {
    struct Case {
        const UnitTable* table;
        std::size_t given;
        int value;
        std::size_t row;
        const char* typed;
        bool right;
    };
    const Case cases[] = {
        {&areaTable(), 5, 1, 0, "0.000000000001", true},
        {&areaTable(), 5, 1, 0, "0.0000000000010000", true},
        {&areaTable(), 5, 1, 0, "0.00000000001", false},
        {&areaTable(), 5, 1, 0, "0.000000000001000000000001", false},
        {&areaTable(), 5, 1, 1, ".0000000001", true},
        {&areaTable(), 0, 100, 5, "100000000000000", true},
        {&areaTable(), 0, 100, 5, "10000000000000", false},
        {&areaTable(), 0, 100, 5, "100000000000001", false},
        {&areaTable(), 5, 5000000, 0, "0.000005", true},
        {&areaTable(), 5, 5000000, 0, "0.00000500", true},
        {&areaTable(), 5, 5000000, 0, "00.000005", true},
        {&lengthTable(), 0, 1000, 4, "1000000000", true},
        {&lengthTable(), 0, 1000, 4, "1000000000.0", true},
        {&lengthTable(), 0, 1000, 4, "999999999.99999999999999999999", false},
        {&lengthTable(), 3, 7, 2, ".7", true},
        {&lengthTable(), 3, 7, 2, "0.7.0", false},  // two points: no number
        {&lengthTable(), 3, 7, 4, "70.", true},
        {&lengthTable(), 3, 7, 4, "070", true},
        {&lengthTable(), 3, 7, 4, "", false},       // empty reads 0
        {&volumeTable(), 0, 100, 4, "100000000000", true},
        {&massTable(), 4, 5, 0, "0.000005", true},
        {&massTable(), 4, 5, 0, "0.0000050000000000000000000000000000000000000000000000000000", true},
        {&massTable(), 4, 5, 0, "0.0000050000000000000000000000000000000000000000000000000001", false},
    };
    for (const Case& c : cases) {
        ConversionEngine e(*c.table, std::make_unique<Script>(std::deque<int>{c.value - 1}));
        e.activate();
        e.newTask(c.given, bigMaxima(*c.table));
        std::vector<std::string> texts(c.table->size());
        std::vector<bool> on(c.table->size(), false);  // only the row under test counts
        texts[c.row] = c.typed;
        on[c.row] = true;
        const auto r = e.check(answer(texts, on, std::nullopt));
        ASSERT_TRUE(r);
        EXPECT_EQ(e.state().UnitGood[c.row], c.right) << c.table->window << " row " << c.row << " \"" << c.typed << '"';
        EXPECT_EQ(r->verdict.good, c.right);
        EXPECT_EQ(r->looks[c.row], c.right ? FieldLook::Right : FieldLook::Wrong);
    }
}

TEST(ConversionCheck, MultiPointTextIsWrongNotTwelve) {
    // Given 12 mm: the cm field holding "1.2.3" is wrong, whatever a lax
    // reader would make of it.
    ConversionEngine e(lengthTable(), std::make_unique<Script>(std::deque<int>{11}));
    e.activate();
    e.newTask(4, bigMaxima(lengthTable()));
    const auto r = e.check(answer({"", "", "", "1.2.3", "12"}, {false, false, false, true, true}, 4));
    ASSERT_TRUE(r);
    EXPECT_FALSE(e.state().UnitGood[3]);
    EXPECT_TRUE(e.state().UnitGood[4]);
    EXPECT_FALSE(r->verdict.good);
    EXPECT_EQ(r->logLine, "   1.2.3 cm 12 mm ");  // three rows off, one blank each
}

TEST(ConversionCheck, StepsOfAGoodAndABadAnswer) {
    LengthTask t;
    auto r = t.e.check(answer({"0.002", "2", "20", "200", "2000"}, kAllOn, 1));
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->verdict.good);
    EXPECT_EQ(r->verdict.cue, kob::Cue::Perfect);
    EXPECT_EQ(r->verdict.colour, kLogGreen);
    EXPECT_EQ(r->logLine, "0.002 km 2 m 20 dm 200 cm 2000 mm ");
    EXPECT_EQ(r->looks, (std::vector<FieldLook>{FieldLook::Right, FieldLook::Given, FieldLook::Right,
                                                FieldLook::Right, FieldLook::Right}));
    EXPECT_EQ(r->verdict.asked, 1);
    EXPECT_EQ(r->verdict.percent, 100);
    EXPECT_EQ(t.e.phase(), ConversionPhase::Judged);
    EXPECT_EQ(t.e.state().TypedValues[0], Decimal::whole(2).shifted(-3));

    // Second task: the pupil overwrote the given value; the given row is
    // judged like any other and spoils the task, while keeping its blue.
    ASSERT_TRUE(t.e.newTask(1, bigMaxima(lengthTable())));  // script ran out: value 1
    r = t.e.check(answer({"0.001", "3", "10", "100", "1000"}, kAllOn, 1));
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->verdict.good);
    EXPECT_FALSE(t.e.state().UnitGood[1]);
    EXPECT_EQ(r->looks[1], FieldLook::Given);
    EXPECT_EQ(r->verdict.cue, kob::Cue::Missed);
    EXPECT_EQ(r->verdict.colour, kLogRed);
    EXPECT_EQ(r->verdict.bad_count, 1);
    EXPECT_EQ(r->verdict.percent, 50);
}

TEST(ConversionCheck, SwitchedOffRowsCountRightAndLogABlank) {
    LengthTask t;
    // cm switched off and empty; its hidden field is still coloured.
    auto r = t.e.check(answer({"0.002", "2", "20", "", "2000"}, {true, true, true, false, true}, 1));
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->verdict.good);
    EXPECT_TRUE(t.e.state().UnitGood[3]);
    EXPECT_EQ(r->looks[3], FieldLook::Wrong);
    EXPECT_EQ(r->logLine, "0.002 km 2 m 20 dm  2000 mm ");

    // The given unit switched off after the draw: its row counts as right
    // even with a wrong text in it.
    t.e.newTask(1, bigMaxima(lengthTable()));
    r = t.e.check(answer({"0.001", "55", "10", "100", "1000"}, {true, false, true, true, true}, 1));
    EXPECT_TRUE(r->verdict.good);
    EXPECT_EQ(r->logLine, "0.001 km 55 10 dm 100 cm 1000 mm ");
}

TEST(ConversionCheck, LateAnswerIsCountedAndMarked) {
    LengthTask t;
    t.e.mechanics().setTimeLimit(1);
    t.e.mechanics().tick();
    EXPECT_FALSE(t.e.drill().LateFlag);
    t.e.mechanics().tick();
    const auto r = t.e.check(answer({"0.002", "2", "20", "", "2000"}, {true, true, true, false, true}, 1));
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->verdict.good);
    EXPECT_EQ(r->verdict.late_count, 1);
    EXPECT_EQ(r->verdict.good_count, 1);
    EXPECT_EQ(r->logLine, "0.002 km 2 m 20 dm  2000 mm  ^");
    EXPECT_FALSE(t.e.drill().LateFlag);
    EXPECT_EQ(t.e.drill().ElapsedSeconds, 0);
}

TEST(ConversionTask, DrawUsesOnlyTheGivenRowsMaximum) {
    int reseeds = 0;
    std::vector<int> bounds;
    ConversionEngine e(lengthTable(), std::make_unique<Script>(std::deque<int>{41, 5, 5}, &reseeds, &bounds));
    e.activate();
    EXPECT_EQ(e.newTask(2, {7, 8, 100, 9, 10}), "42");
    EXPECT_EQ(bounds, std::vector<int>{100});
    EXPECT_EQ(reseeds, 1);
    EXPECT_EQ(e.drill().AskedCount, 1);

    // Maxima of 0 and 1 always give 1 and draw nothing from 0.
    for (std::int64_t max : {0, 1}) {
        e.check(answer({}, {}, std::nullopt));
        bounds.clear();
        EXPECT_EQ(e.newTask(0, {max, 8, 8, 8, 8}), "1") << max;
        EXPECT_EQ(e.state().ExpectedValues[4], Decimal::whole(1000000));
        EXPECT_TRUE(max == 0 ? bounds.empty() : bounds == std::vector<int>{1});
    }
    EXPECT_EQ(reseeds, 3);
}

TEST(ConversionTask, WithoutAGivenUnitNothingIsDrawn) {
    std::vector<int> bounds;
    ConversionEngine e(lengthTable(), std::make_unique<Script>(std::deque<int>{}, nullptr, &bounds));
    e.activate();
    EXPECT_EQ(e.newTask(std::nullopt, bigMaxima(lengthTable())), "");
    EXPECT_TRUE(bounds.empty());
    EXPECT_EQ(e.phase(), ConversionPhase::Asking);
    for (const Decimal& d : e.state().ExpectedValues) EXPECT_TRUE(d.isZero());
    // Every expected value is 0, so empty fields are right.
    const auto r = e.check(answer({"", "", "", "", ""}, kAllOn, std::nullopt));
    EXPECT_TRUE(r->verdict.good);
    EXPECT_EQ(r->looks, std::vector<FieldLook>(5, FieldLook::Right));

    // After a drawn task, a task without a given unit keeps its values.
    e.newTask(4, {1, 1, 1, 1, 7});
    e.check(answer({}, {}, std::nullopt));
    e.newTask(std::nullopt, bigMaxima(lengthTable()));
    EXPECT_EQ(e.state().ExpectedValues[3], Decimal::whole(1).shifted(-1));
}

TEST(ConversionTask, ChangingTheGivenUnitKeepsTheTask) {
    LengthTask t;
    EXPECT_EQ(t.e.chooseLooks(3), (std::vector<FieldLook>{FieldLook::Plain, FieldLook::Plain, FieldLook::Plain,
                                                          FieldLook::Given, FieldLook::Plain}));
    EXPECT_EQ(t.e.chooseLooks(std::nullopt), std::vector<FieldLook>(5, FieldLook::Plain));
    // The task drawn for 2 m stays: the newly chosen cm field is empty.
    const auto r = t.e.check(answer({"0.002", "2", "20", "", "2000"}, kAllOn, 3));
    EXPECT_FALSE(r->verdict.good);
    EXPECT_FALSE(t.e.state().UnitGood[3]);
    EXPECT_EQ(r->looks[3], FieldLook::Given);
    EXPECT_EQ(r->looks[1], FieldLook::Right);
}

TEST(ConversionPhases, ReadyAskingJudgedAcrossReopening) {
    ConversionEngine e(lengthTable(), std::make_unique<Script>(std::deque<int>{6, 2}));
    e.activate();
    EXPECT_EQ(e.phase(), ConversionPhase::Ready);
    EXPECT_FALSE(e.check(answer({}, {}, std::nullopt)));  // nothing to check
    EXPECT_EQ(e.drill().BadCount, 0);

    ASSERT_TRUE(e.newTask(3, bigMaxima(lengthTable())));  // 7 cm
    EXPECT_FALSE(e.newTask(3, bigMaxima(lengthTable())));  // already asking
    EXPECT_EQ(e.drill().AskedCount, 1);

    // Closed and reopened while asking: the task stays open with its values
    // and is the first question of the new run.
    e.mechanics().setTimeLimit(45);
    e.activate();
    EXPECT_EQ(e.phase(), ConversionPhase::Asking);
    EXPECT_EQ(e.drill().AskedCount, 1);
    EXPECT_EQ(e.drill().TimeLimit, 45);
    EXPECT_EQ(e.state().ExpectedValues[4], Decimal::whole(70));
    EXPECT_EQ(e.state().UnitGood, std::vector<bool>(5, false));
    auto r = e.check(answer({"0.00007", "0.07", "0.7", "7", "70"}, kAllOn, 3));
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->verdict.good);
    EXPECT_EQ(r->verdict.asked, 1);
    EXPECT_EQ(r->verdict.percent, 100);

    // Reopened after the check: a fresh run with the expected values at 0.
    e.activate();
    EXPECT_EQ(e.phase(), ConversionPhase::Judged);
    EXPECT_EQ(e.drill().AskedCount, 0);
    EXPECT_EQ(e.drill().GoodCount, 0);
    for (const Decimal& d : e.state().ExpectedValues) EXPECT_TRUE(d.isZero());
    ASSERT_TRUE(e.newTask(0, bigMaxima(lengthTable())));  // 3 km
    r = e.check(answer({"3", "3000", "30000", "300000", "3000000"}, kAllOn, 0));
    EXPECT_EQ(r->verdict.asked, 1);
    EXPECT_TRUE(r->verdict.good);
}

TEST(ConversionKeys, FilterPassesNumbersOnly) {
    for (char32_t c : {U'0', U'5', U'9', U'.', char32_t(8), char32_t(13)}) EXPECT_EQ(ConversionEngine::filterKey(c), c);
    EXPECT_EQ(ConversionEngine::filterKey(U','), U'.');
    for (char32_t c : {U'a', U'E', U' ', U'-', U'+', U'/', U'é', char32_t(27), char32_t(9), char32_t(0x7f), U'٣'})
        EXPECT_EQ(ConversionEngine::filterKey(c), char32_t(0)) << int(c);
    EXPECT_EQ(ConversionEngine::filterText("1,5 kg\n"), "1.5");
    EXPECT_EQ(ConversionEngine::filterText("-0,000.1"), "0.000.1");
}
