// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How the four arithmetic drills draw their questions and what they expect.
// Plain C++, no toolkit.
//
// Every question reseeds the random source and then draws, in this order:
//   addition        sum := Random(limit) + 1, first := Random(sum),
//                   second := sum - first
//   subtraction     minuend, subtrahend := Random(limit) + 1 each, both drawn
//                   again while the subtrahend is larger
//   multiplication  factor := Random(10) + 1, then the random table
//   division        quotient := Random(10) + 1, then the random table;
//                   the dividend is divisor * quotient
// Multiplication and division always make exactly these two draws, whether
// the random table is used or not.
#pragma once

#include <string>

#include "kit/random_source.h"

namespace kob {

enum class ArithOp { Add, Subtract, Multiply, Divide };

// The sign written between the operands in the log line.
const char* signOf(ArithOp op);

// The two numbers on screen: `left` in Hanyszor, `right` in Mennyi.
struct Operands {
    int left = 0;
    int right = 0;
    friend bool operator==(const Operands&, const Operands&) = default;
};

// What the window's radio buttons select for the next question.
struct Choice {
    enum Kind { None, Fixed, RandomTable };
    Kind kind = None;
    int value = 0;  // the range limit or the table number of a Fixed choice

    static Choice none() { return {}; }
    static Choice fixed(int v) { return {Fixed, v}; }
    static Choice randomTable() { return {RandomTable, 0}; }
    friend bool operator==(const Choice&, const Choice&) = default;
};

// The answer the operands on screen call for. A division by a shown 0
// (which no question produces) expects 0.
int answerFor(ArithOp op, const Operands& o);

// Single draws, on an already reseeded source.
Operands drawAddition(RandomSource& rnd, int rangeLimit);
Operands drawSubtraction(RandomSource& rnd, int rangeLimit);
// `shownRight` is the table on screen, kept when no table is selected.
Operands drawMultiplication(RandomSource& rnd, Choice choice, int shownRight);
Operands drawDivision(RandomSource& rnd, Choice choice, int shownRight);

// The next operands for `op`. Addition and subtraction with nothing
// selected keep `shown` as it is (and draw nothing); multiplication and
// division always draw their left side and keep only the shown table.
Operands nextOperands(ArithOp op, RandomSource& rnd, Choice choice, const Operands& shown);

// The answer-log line: "3+4=7", "12-5=6^" (late), "7*8=056".
std::string arithLogLine(const Operands& o, ArithOp op, const std::string& typed, bool late);

// The typed answer as a number; nothing for an empty field or anything
// that is not a run of at most nine digits.
bool parseAnswer(const std::string& typed, int& value);

}  // namespace kob
