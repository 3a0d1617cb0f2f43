// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "arith/arith_drill.h"

namespace kob {

ArithDrill::ArithDrill(ArithOp op, Operands design, std::unique_ptr<RandomSource> rnd)
    : op_(op), shown_(design), rnd_(rnd ? std::move(rnd) : std::make_unique<ClockRandom>()) {
    // Even a question that was never generated is judged by what it shows.
    m_.state().ExpectedAnswer = answerFor(op_, shown_);
}

void ArithDrill::General(Choice choice) {
    m_.countQuestion();
    rnd_->reseed();
    shown_ = nextOperands(op_, *rnd_, choice, shown_);
    m_.state().ExpectedAnswer = answerFor(op_, shown_);
}

std::optional<ArithDrill::Checked> ArithDrill::Ellenorzes(const std::string& typed) {
    int answer = 0;
    if (!parseAnswer(typed, answer)) return std::nullopt;
    const bool good = answer == m_.state().ExpectedAnswer;
    Checked c;
    c.verdict = m_.judge(good);
    c.logLine = arithLogLine(shown_, op_, typed, c.verdict.late);
    return c;
}

}  // namespace kob
