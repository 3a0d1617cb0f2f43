// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Drives an arithmetic drill with arbitrary bytes: key codes through the
// answer-key filter, text pasted through the field's cleaner, answers
// checked on Enter, random draws taken from the input. Checks that only a
// number's digits ever stand in the answer field, that everything the field
// can hold is judged (never refused as no number), that the expected answer
// always fits the field, and that the counters stay consistent; and that the
// typed-answer reader takes exactly the runs of one to nine digits.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "arith/arith_drill.h"
#include "arith/arith_data.h"
#include "drill/drill_state.h"

#include "fuzz/fuzz_input.h"

namespace {

using fuzzin::Bytes;
using fuzzin::require;

// Draws taken from the input, always inside 0 .. n-1 as the source promises.
class InputRandom : public kob::RandomSource {
public:
    explicit InputRandom(Bytes& in) : in_(in) {}
    void reseed() override {}
    int uniform(int n) override {
        if (n <= 0) return 0;
        const std::uint32_t raw = in_.next() | std::uint32_t(in_.next()) << 8;
        return int(raw % std::uint32_t(n));
    }

private:
    Bytes& in_;
};

bool isAsciiDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// Every digit of the text, in order.
std::string allDigits(std::string_view text) {
    std::string d;
    for (char c : text)
        if (isAsciiDigit(char32_t(static_cast<unsigned char>(c)))) d.push_back(c);
    return d;
}

void checkReader(std::string_view text) {
    int value = -1;
    const bool read = kob::parseAnswer(std::string(text), value);
    const bool digitsOnly = allDigits(text).size() == text.size();
    require(read == (!text.empty() && text.size() <= 9 && digitsOnly));
    if (read) {
        std::int64_t reference = 0;
        for (char c : text) reference = reference * 10 + (c - '0');
        require(value == reference);
    }
}

void checkCleaner(std::string_view text, std::size_t maxLen) {
    const std::string clean = kob::answerDigits(text, maxLen);
    const std::string digits = allDigits(text);
    // The first maxLen digits, nothing else: no other character, no reordering.
    require(clean == digits.substr(0, std::min(maxLen, digits.size())));
    require(kob::answerDigits(clean, maxLen) == clean);
}

const kob::ArithWindowData& dataFor(std::uint8_t b) {
    switch (b % 4) {
    case 0: return kob::additionData();
    case 1: return kob::subtractionData();
    case 2: return kob::multiplicationData();
    default: return kob::divisionData();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view whole(reinterpret_cast<const char*>(data), size);
    checkReader(whole);
    checkReader(whole.substr(0, 9));
    checkCleaner(whole, size ? data[0] % 12 : 0);

    // The key filter over the whole range of characters.
    static constexpr std::u32string_view kPassing = U"0123456789\b\r";
    Bytes keys{data, size};
    for (int i = 0; i < 8 && keys.n > 0; ++i) {
        const char32_t c = keys.codePoint();
        require(kob::answerKeyPasses(c) == (kPassing.find(c) != std::u32string_view::npos));
    }

    // One drill run of a window chosen by the input.
    Bytes in{data, size};
    const kob::ArithWindowData& window = dataFor(in.next());
    const std::size_t maxLen = std::size_t(window.answerLength);
    kob::ArithDrill drill(window.op, window.design, std::make_unique<InputRandom>(in));
    drill.mechanics().setTimeLimit(1 + in.next() % 120);
    drill.activate();
    // Any radio button, or none (the settings file may select none).
    const auto pickChoice = [&] {
        const std::size_t i = in.next() % (window.buttons.size() + 1);
        return i < window.buttons.size() ? window.buttons[i].choice : kob::Choice::none();
    };
    kob::Choice choice = pickChoice();
    drill.General(choice);

    std::string field;
    for (int step = 0; step < 4096 && in.n > 0; ++step) {
        const kob::DrillState before = drill.state();
        // What a question of this window expects always fits its field.
        require(before.ExpectedAnswer >= 0);
        require(std::to_string(before.ExpectedAnswer).size() <= maxLen);
        require(before.AskedCount == before.GoodCount + before.BadCount + 1);
        require(before.LateCount <= before.GoodCount + before.BadCount);

        const std::uint8_t action = in.next();
        switch (action % 8) {
        case 0: {  // paste: a run of input bytes, cleaned, at the end
            const std::size_t len = std::min<std::size_t>(in.next(), in.n);
            const std::string_view pasted(reinterpret_cast<const char*>(in.p), len);
            in.p += len;
            in.n -= len;
            field = kob::answerDigits(field + kob::answerDigits(pasted, maxLen), maxLen);
            break;
        }
        case 1: drill.mechanics().tick(); break;
        case 2: choice = pickChoice(); break;
        case 3: drill.mechanics().setTimeLimit(1 + in.next() % 120); break;
        default: {  // a typed character
            const char32_t c = action % 8 == 4 ? U'\r' : action % 8 == 5 ? U'\b' : in.codePoint();
            if (!kob::answerKeyPasses(c)) break;
            if (c == U'\b') {
                if (!field.empty()) field.pop_back();
            } else if (c != U'\r') {
                if (field.size() < maxLen) field.push_back(char(c));
            } else if (!field.empty()) {
                const std::string left = drill.leftText(), right = drill.rightText();
                const auto checked = drill.Ellenorzes(field);
                require(checked.has_value());  // whatever the field holds is a number
                const bool good = std::stoi(field) == before.ExpectedAnswer;
                require(checked->verdict.good == good);
                require(checked->verdict.late == before.LateFlag);
                require(checked->logLine == left + kob::signOf(window.op) + right + "=" + field +
                                                (before.LateFlag ? "^" : ""));
                require(checked->verdict.percent >= 0 && checked->verdict.percent <= 100);
                require(drill.state().ElapsedSeconds == 0 && !drill.state().LateFlag);
                drill.General(choice);
                field.clear();
            }
            break;
        }
        }
        require(field.size() <= maxLen && allDigits(field) == field);
    }

    // Text that is no number is refused without touching the drill.
    const kob::DrillState before = drill.state();
    const std::string junk = std::string(whole.substr(0, 12)) + "x";
    require(!drill.Ellenorzes(junk).has_value());
    require(drill.state().AskedCount == before.AskedCount && drill.state().GoodCount == before.GoodCount &&
            drill.state().BadCount == before.BadCount && drill.state().LateCount == before.LateCount &&
            drill.state().ElapsedSeconds == before.ElapsedSeconds);
    return 0;
}
