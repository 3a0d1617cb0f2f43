// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The conversion drill shared by the area, length, volume and mass windows:
// the pupil picks the given unit, a task draws a whole number of it, and
// every switched-on field must hold the same quantity in its own unit. The
// engine keeps the drill record and the task's phase and turns the window's
// inputs (field texts, switches, given unit, maxima) into what the window
// shows (given value, field looks, verdict, log line). Plain C++.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drill/drill_state.h"
#include "kit/random_source.h"
#include "measure/decimal.h"
#include "measure/unit_table.h"

namespace kob {

// ready: no task yet; asking: a task is open and the clock runs; judged:
// the task was checked and waits for the next one.
enum class ConversionPhase { Ready, Asking, Judged };

// How a field looks: background and text colour.
enum class FieldLook {
    Plain,  // white, black text
    Given,  // blue, white text
    Right,  // green, text unchanged
    Wrong,  // red, text unchanged
};

struct ConversionState {
    // TimeLimit, ElapsedSeconds, LateFlag, the counters and AnswerGood
    // (ExpectedAnswer is not used here).
    DrillMechanics Drill;
    std::vector<Decimal> ExpectedValues;  // the task in every row's unit
    std::vector<Decimal> TypedValues;     // read at the last check (0 when no number)
    std::vector<bool> UnitGood;           // verdict of every row at the last check
    ConversionPhase Phase = ConversionPhase::Ready;
};

// What the window gives a check: one entry per row, top to bottom.
struct ConversionAnswer {
    std::vector<std::string> texts;   // the fields' texts, shown or hidden
    std::vector<bool> switchedOn;     // the switches
    std::optional<std::size_t> given; // the selected choice, if any
};

struct ConversionCheck {
    std::vector<FieldLook> looks;  // every row's colour after the check
    Verdict verdict;               // cue, log colour, counters, percentage
    std::string logLine;
};

class ConversionEngine {
public:
    ConversionEngine(const UnitTable& table, std::unique_ptr<RandomSource> random);

    const UnitTable& table() const { return table_; }
    std::size_t rows() const { return table_.size(); }
    const ConversionState& state() const { return s_; }
    DrillMechanics& mechanics() { return s_.Drill; }
    const DrillState& drill() const { return s_.Drill.state(); }
    ConversionPhase phase() const { return s_.Phase; }

    // A fresh drill run: counters and clock to zero (the limit stays),
    // verdicts cleared. A task still open stays open and keeps its expected
    // values: it becomes the first question of the new run. Otherwise the
    // expected values go back to 0.
    void activate();

    // The looks after choosing a given unit: blue for it, white for the rest.
    std::vector<FieldLook> chooseLooks(std::optional<std::size_t> given) const;

    // A new task, from ready or judged: counts the question, reseeds and,
    // with a given unit, draws its value 1..max (1 for a maximum of 0 or 1)
    // from that row's maximum and sets every row's expected value. Returns
    // the text the given field shows ("" without a given unit); nullopt and
    // nothing done while a task is open.
    std::optional<std::string> newTask(std::optional<std::size_t> given,
                                       const std::vector<std::int64_t>& maxima);

    // Checks the open task; nullopt and nothing done unless asking.
    std::optional<ConversionCheck> check(const ConversionAnswer& answer);

    // The key filter of every field: digits, ".", Backspace (8) and Enter
    // (13) pass, a comma becomes a point, everything else gives 0
    // (swallowed). Enter passes without triggering anything.
    static char32_t filterKey(char32_t ch);

    // Text that reaches a field without being typed (pasted): what the key
    // filter would have let through, commas as points.
    static std::string filterText(std::string_view text);

    // A field's number; nullopt when its text is no number.
    static std::optional<Decimal> readAnswer(std::string_view text) { return Decimal::parse(text); }

    // The log line: each row's text followed by its suffix (" " for a row
    // switched off), then " ^" when the answer was late.
    static std::string logLine(const UnitTable& table, const ConversionAnswer& answer, bool late);

private:
    const UnitTable& table_;
    std::unique_ptr<RandomSource> random_;
    ConversionState s_;
};

}  // namespace kob
