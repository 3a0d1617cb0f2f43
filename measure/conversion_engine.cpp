// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "measure/conversion_engine.h"

#include <algorithm>

namespace kob {

ConversionEngine::ConversionEngine(const UnitTable& table, std::unique_ptr<RandomSource> random)
    : table_(table), random_(std::move(random)) {
    s_.ExpectedValues.assign(rows(), Decimal());
    s_.TypedValues.assign(rows(), Decimal());
    s_.UnitGood.assign(rows(), false);
}

void ConversionEngine::activate() {
    s_.Drill.activate();
    s_.UnitGood.assign(rows(), false);
    if (s_.Phase == ConversionPhase::Asking) {
        // The task on screen is judged against what it was drawn with, and
        // counts in the new run so that its check has a question to count.
        s_.Drill.countQuestion();
    } else {
        s_.ExpectedValues.assign(rows(), Decimal());
    }
}

std::vector<FieldLook> ConversionEngine::chooseLooks(std::optional<std::size_t> given) const {
    std::vector<FieldLook> looks(rows(), FieldLook::Plain);
    if (given && *given < rows()) looks[*given] = FieldLook::Given;
    return looks;
}

std::optional<std::string> ConversionEngine::newTask(std::optional<std::size_t> given,
                                                     const std::vector<std::int64_t>& maxima) {
    if (s_.Phase == ConversionPhase::Asking) return std::nullopt;
    s_.Phase = ConversionPhase::Asking;
    s_.Drill.countQuestion();
    if (random_) random_->reseed();
    if (!given || *given >= rows()) return std::string();

    const std::size_t g = *given;
    const std::int64_t m = g < maxima.size() ? std::max<std::int64_t>(maxima[g], 0) : 0;
    // The spin boxes hold at most 10 characters, far below the bound.
    const int bound = static_cast<int>(std::min<std::int64_t>(m, INT32_MAX));
    const int drawn = (bound > 0 && random_) ? random_->uniform(bound) : 0;
    const std::uint64_t v = static_cast<std::uint64_t>(std::clamp(drawn, 0, std::max(bound - 1, 0))) + 1;

    const Decimal value = Decimal::whole(v);
    const int eg = table_.rows[g].exponent;
    for (std::size_t r = 0; r < rows(); ++r)
        s_.ExpectedValues[r] = value.shifted(eg - table_.rows[r].exponent);
    return value.toString();
}

std::optional<ConversionCheck> ConversionEngine::check(const ConversionAnswer& a) {
    if (s_.Phase != ConversionPhase::Asking) return std::nullopt;
    const bool late = s_.Drill.state().LateFlag;
    ConversionCheck out;
    out.logLine = logLine(table_, a, late);
    s_.Phase = ConversionPhase::Judged;

    out.looks.assign(rows(), FieldLook::Wrong);
    bool all = true;
    for (std::size_t r = 0; r < rows(); ++r) {
        const std::string_view text = r < a.texts.size() ? std::string_view(a.texts[r]) : std::string_view();
        const std::optional<Decimal> typed = readAnswer(text);
        // A text that is no number (two points) matches nothing.
        s_.TypedValues[r] = typed.value_or(Decimal());
        const bool equal = typed && *typed == s_.ExpectedValues[r];
        out.looks[r] = equal ? FieldLook::Right : FieldLook::Wrong;
        const bool on = r < a.switchedOn.size() && a.switchedOn[r];
        s_.UnitGood[r] = equal || !on;
        all = all && s_.UnitGood[r];
    }
    if (a.given && *a.given < rows()) out.looks[*a.given] = FieldLook::Given;

    // Late count, cue, counters, percentage, clock reset.
    out.verdict = s_.Drill.judge(all);
    return out;
}

char32_t ConversionEngine::filterKey(char32_t ch) {
    if ((ch >= U'0' && ch <= U'9') || ch == U'.' || ch == 8 || ch == 13) return ch;
    if (ch == U',') return U'.';
    return 0;
}

std::string ConversionEngine::filterText(std::string_view text) {
    std::string out;
    for (char c : text) {
        const char32_t f = filterKey(static_cast<unsigned char>(c));
        if (f == U'.' || (f >= U'0' && f <= U'9')) out.push_back(static_cast<char>(f));
    }
    return out;
}

std::string ConversionEngine::logLine(const UnitTable& table, const ConversionAnswer& a, bool late) {
    std::string line;
    for (std::size_t r = 0; r < table.size(); ++r) {
        if (r < a.texts.size()) line += a.texts[r];
        const bool on = r < a.switchedOn.size() && a.switchedOn[r];
        line += on ? table.rows[r].logSuffix : std::string(" ");
    }
    if (late) line += " ^";
    return line;
}

}  // namespace kob
