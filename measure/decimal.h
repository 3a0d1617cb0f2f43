// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// An exact non-negative decimal number: a string of decimal digits times a
// power of ten. Conversions between units only ever multiply or divide by
// powers of ten, so shifting the exponent is exact, and two numbers that
// stand for the same quantity are equal whatever form they were written in.
// No binary floating point and no fixed width: a number of any length is
// held exactly. Plain C++.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kob {

class Decimal {
public:
    // Zero.
    Decimal() = default;

    // A whole number.
    static Decimal whole(std::uint64_t value);

    // Reads the text of a unit field: empty is 0; otherwise digits with at
    // most one point, digits allowed to be missing on either side of it
    // ("5.", ".5", "." read 5, 0.5 and 0). Anything else (a second point, a
    // blank, a sign, any other character) is no number.
    static std::optional<Decimal> parse(std::string_view text);

    // This number times 10^power, exactly.
    Decimal shifted(int power) const;

    bool isZero() const { return digits_.empty(); }

    // The significant digits, without leading or trailing zeros ("" for 0),
    // and the power of ten of the last one.
    const std::string& digits() const { return digits_; }
    std::int64_t exponent() const { return exponent_; }

    // The plain decimal form, without exponent notation or superfluous
    // zeros: "0", "1000000", "0.000005", "12.5".
    std::string toString() const;

    friend bool operator==(const Decimal&, const Decimal&) = default;

private:
    Decimal(std::string digits, std::int64_t exponent);
    void normalise();

    std::string digits_;         // most significant first
    std::int64_t exponent_ = 0;  // value = digits_ * 10^exponent_; 0 for zero
};

}  // namespace kob
