// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The drill object of one arithmetic window: the drill mechanics, the two
// operands on screen, the question generator and the check. The window binds
// its controls to it; everything here runs without the toolkit.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "arith/arith_questions.h"
#include "drill/drill_state.h"

namespace kob {

class ArithDrill {
public:
    // `design` is what the operand labels show before the first question.
    ArithDrill(ArithOp op, Operands design, std::unique_ptr<RandomSource> rnd);

    ArithOp op() const { return op_; }
    DrillMechanics& mechanics() { return m_; }
    const DrillState& state() const { return m_.state(); }
    const Operands& operands() const { return shown_; }
    std::string leftText() const { return std::to_string(shown_.left); }
    std::string rightText() const { return std::to_string(shown_.right); }

    // A fresh run: counters and clock to zero; the time limit stays.
    void activate() { m_.activate(); }

    // Poses the next question: counts it, reseeds, draws for `choice`. With
    // no range selected the addition and subtraction keep the shown
    // operands. The expected answer always follows the operands on screen.
    void General(Choice choice);

    struct Checked {
        Verdict verdict;
        std::string logLine;
    };
    // Judges the typed answer against the question on screen. Nothing
    // happens (no count, no reset) for text that is no number.
    std::optional<Checked> Ellenorzes(const std::string& typed);

private:
    ArithOp op_;
    Operands shown_;
    std::unique_ptr<RandomSource> rnd_;
    DrillMechanics m_;
};

}  // namespace kob
