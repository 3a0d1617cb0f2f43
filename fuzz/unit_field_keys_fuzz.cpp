// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Drives a conversion window's engine with arbitrary bytes: keys typed into
// the unit fields through the key filter, text pasted through the paste
// cleaner, switches, the given unit, maxima of any size, ticks, new tasks,
// checks and reopenings. Checks that only a number's characters ever stand
// in a field, that the given value lies within its maximum, that the
// expected values written out in full and typed key by key are judged right
// in every row, that a row holding another number is judged wrong, and that
// the counters stay consistent.
#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "measure/conversion_engine.h"

#include "fuzz/fuzz_input.h"

namespace {

using fuzzin::Bytes;
using fuzzin::require;

class InputRandom : public kob::RandomSource {
public:
    explicit InputRandom(Bytes& in) : in_(in) {}
    void reseed() override {}
    int uniform(int n) override {
        if (n <= 0) return 0;
        std::uint32_t raw = 0;
        for (int i = 0; i < 4; ++i) raw |= std::uint32_t(in_.next()) << (8 * i);
        return int(raw % std::uint32_t(n));
    }

private:
    Bytes& in_;
};

bool numberChar(char c) { return c == '.' || (c >= '0' && c <= '9'); }
bool onlyNumberChars(std::string_view s) { return std::all_of(s.begin(), s.end(), numberChar); }

// Types a character into a field as the window does: through the filter,
// Backspace deletes, Enter does nothing.
void typeKey(std::string& field, char32_t c) {
    const char32_t passed = kob::ConversionEngine::filterKey(c);
    if (passed == 0 || passed == U'\r') return;
    if (passed == U'\b') {
        if (!field.empty()) field.pop_back();
        return;
    }
    field.push_back(char(passed));
}

const kob::UnitTable& tableFor(std::uint8_t b) {
    switch (b % 4) {
    case 0: return kob::areaTable();
    case 1: return kob::lengthTable();
    case 2: return kob::volumeTable();
    default: return kob::massTable();
    }
}

void checkFilters(std::string_view text, Bytes keys) {
    static constexpr std::u32string_view kPassing = U"0123456789.\b\r";
    for (int i = 0; i < 8 && keys.n > 0; ++i) {
        const char32_t c = keys.codePoint();
        const char32_t f = kob::ConversionEngine::filterKey(c);
        if (c == U',') require(f == U'.');
        else require(f == (kPassing.find(c) != std::u32string_view::npos ? c : char32_t(0)));
    }

    // Pasting keeps exactly what typing the same bytes would have left,
    // minus the control keys; pasting the result again changes nothing.
    const std::string pasted = kob::ConversionEngine::filterText(text);
    require(onlyNumberChars(pasted));
    require(kob::ConversionEngine::filterText(pasted) == pasted);
    std::string typed;
    for (char c : text) {
        const char32_t k = char32_t(static_cast<unsigned char>(c));
        if (k != U'\b') typeKey(typed, k);
    }
    require(typed == pasted);
    // Whatever passed is a number unless it holds two points.
    const auto value = kob::ConversionEngine::readAnswer(pasted);
    require(value.has_value() == (std::count(pasted.begin(), pasted.end(), '.') <= 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkFilters(std::string_view(reinterpret_cast<const char*>(data), size), Bytes{data, size});

    Bytes in{data, size};
    const kob::UnitTable& table = tableFor(in.next());
    const std::size_t rows = table.size();
    kob::ConversionEngine engine(table, std::make_unique<InputRandom>(in));
    engine.mechanics().setTimeLimit(1 + in.next() % 120);
    engine.activate();

    std::vector<std::string> fields(rows);
    std::vector<bool> on(rows, true);
    std::optional<std::size_t> given;
    std::vector<std::int64_t> maxima;
    for (const kob::UnitRow& r : table.rows) maxima.push_back(r.spinDefault);

    for (int step = 0; step < 2048 && in.n > 0; ++step) {
        const std::uint8_t action = in.next();
        const std::size_t row = in.next() % rows;
        switch (action % 12) {
        case 0: fields[row] += kob::ConversionEngine::filterText(in.take(in.next())); break;
        case 1: on[row] = !on[row]; break;
        case 2: given = (in.next() & 1) ? std::optional<std::size_t>(row) : std::nullopt; break;
        case 3: maxima[row] = in.int64(); break;
        case 4: engine.mechanics().tick(); break;
        case 5: engine.activate(); break;
        case 6: {  // new task: the given value lies within 1 .. max(m, 1)
            if (given) on[*given] = true;  // choosing a unit switches it on
            const bool wasAsking = engine.phase() == kob::ConversionPhase::Asking;
            const auto shown = engine.newTask(given, maxima);
            require(shown.has_value() == !wasAsking);
            if (!shown) break;
            for (std::string& f : fields) f.clear();
            if (!given) {
                require(shown->empty());
                break;
            }
            std::uint64_t v = 0;
            const auto [end, ec] = std::from_chars(shown->data(), shown->data() + shown->size(), v);
            require(ec == std::errc() && end == shown->data() + shown->size());
            const std::int64_t m = maxima[*given];
            require(v >= 1 && std::int64_t(v) <= std::max<std::int64_t>(m, 1));
            require(engine.state().ExpectedValues[*given] == kob::Decimal::whole(v));
            fields[*given] = *shown;
            break;
        }
        case 7: {  // the pupil writes out every expected value, key by key
            for (std::size_t r = 0; r < rows; ++r) {
                fields[r].clear();
                std::string form = engine.state().ExpectedValues[r].toString();
                if (in.next() & 1) form = "0" + form + (form.find('.') == std::string::npos ? ".0" : "0");
                for (char c : form) typeKey(fields[r], char32_t(c == '.' && (in.next() & 1) ? ',' : c));
                require(kob::Decimal::parse(fields[r]) == engine.state().ExpectedValues[r]);
            }
            break;
        }
        case 8: {  // the check
            const bool asking = engine.phase() == kob::ConversionPhase::Asking;
            const std::vector<kob::Decimal> expected = engine.state().ExpectedValues;
            const bool late = engine.drill().LateFlag;
            const auto checked = engine.check({fields, on, given});
            require(checked.has_value() == asking);
            if (!checked) break;
            require(engine.phase() == kob::ConversionPhase::Judged);
            bool all = true;
            for (std::size_t r = 0; r < rows; ++r) {
                const auto typed = kob::Decimal::parse(fields[r]);
                const bool right = typed && *typed == expected[r];
                require(engine.state().UnitGood[r] == (right || !on[r]));
                // Writing the expected value out in full is always right.
                if (fields[r] == expected[r].toString()) require(right);
                // Another number in a switched-on row is always wrong.
                if (typed && !(*typed == expected[r]) && on[r]) require(!checked->verdict.good);
                all = all && (right || !on[r]);
            }
            require(checked->verdict.good == all);
            require(checked->verdict.late == late);
            require(checked->verdict.percent >= 0 && checked->verdict.percent <= 100);
            break;
        }
        default: typeKey(fields[row], action % 12 == 9 ? U'\b' : in.codePoint()); break;
        }

        for (const std::string& f : fields) require(onlyNumberChars(f));
        const kob::DrillState& d = engine.drill();
        const int open = engine.phase() == kob::ConversionPhase::Asking ? 1 : 0;
        require(d.AskedCount == d.GoodCount + d.BadCount + open);
        require(d.LateCount <= d.GoodCount + d.BadCount);
    }
    return 0;
}
