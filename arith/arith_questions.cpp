// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "arith/arith_questions.h"

namespace kob {

const char* signOf(ArithOp op) {
    switch (op) {
    case ArithOp::Add: return "+";
    case ArithOp::Subtract: return "-";
    case ArithOp::Multiply: return "*";
    case ArithOp::Divide: return ":";
    }
    return "?";
}

int answerFor(ArithOp op, const Operands& o) {
    switch (op) {
    case ArithOp::Add: return o.left + o.right;
    case ArithOp::Subtract: return o.left - o.right;
    case ArithOp::Multiply: return o.left * o.right;
    case ArithOp::Divide: return o.right != 0 ? o.left / o.right : 0;
    }
    return 0;
}

Operands drawAddition(RandomSource& rnd, int rangeLimit) {
    const int sum = rnd.uniform(rangeLimit) + 1;
    const int first = rnd.uniform(sum);
    return {first, sum - first};
}

Operands drawSubtraction(RandomSource& rnd, int rangeLimit) {
    Operands o;
    do {
        o.left = rnd.uniform(rangeLimit) + 1;
        o.right = rnd.uniform(rangeLimit) + 1;
    } while (o.right > o.left);
    return o;
}

namespace {
// Both table drills draw their own number first and the random table
// second, every question.
int tableFor(Choice choice, int randomTable, int shownRight) {
    switch (choice.kind) {
    case Choice::Fixed: return choice.value;
    case Choice::RandomTable: return randomTable;
    case Choice::None: break;
    }
    return shownRight;
}
}  // namespace

Operands drawMultiplication(RandomSource& rnd, Choice choice, int shownRight) {
    const int factor = rnd.uniform(10) + 1;
    const int randomTable = rnd.uniform(10) + 1;
    return {factor, tableFor(choice, randomTable, shownRight)};
}

Operands drawDivision(RandomSource& rnd, Choice choice, int shownRight) {
    const int quotient = rnd.uniform(10) + 1;
    const int randomTable = rnd.uniform(10) + 1;
    const int divisor = tableFor(choice, randomTable, shownRight);
    return {divisor * quotient, divisor};
}

Operands nextOperands(ArithOp op, RandomSource& rnd, Choice choice, const Operands& shown) {
    switch (op) {
    case ArithOp::Add:
        return choice.kind == Choice::Fixed ? drawAddition(rnd, choice.value) : shown;
    case ArithOp::Subtract:
        return choice.kind == Choice::Fixed ? drawSubtraction(rnd, choice.value) : shown;
    case ArithOp::Multiply: return drawMultiplication(rnd, choice, shown.right);
    case ArithOp::Divide: return drawDivision(rnd, choice, shown.right);
    }
    return shown;
}

std::string arithLogLine(const Operands& o, ArithOp op, const std::string& typed, bool late) {
    std::string line = std::to_string(o.left);
    line += signOf(op);
    line += std::to_string(o.right);
    line += '=';
    line += typed;
    if (late) line += '^';
    return line;
}

bool parseAnswer(const std::string& typed, int& value) {
    if (typed.empty() || typed.size() > 9) return false;
    int v = 0;
    for (char c : typed) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    value = v;
    return true;
}

}  // namespace kob
