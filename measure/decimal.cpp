// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "measure/decimal.h"

#include <string>

namespace kob {

Decimal::Decimal(std::string digits, std::int64_t exponent)
    : digits_(std::move(digits)), exponent_(exponent) {
    normalise();
}

void Decimal::normalise() {
    const std::size_t first = digits_.find_first_not_of('0');
    if (first == std::string::npos) {
        digits_.clear();
        exponent_ = 0;
        return;
    }
    digits_.erase(0, first);
    const std::size_t last = digits_.find_last_not_of('0');
    const std::size_t trailing = digits_.size() - 1 - last;
    digits_.resize(last + 1);
    exponent_ += static_cast<std::int64_t>(trailing);
}

Decimal Decimal::whole(std::uint64_t value) { return Decimal(std::to_string(value), 0); }

std::optional<Decimal> Decimal::parse(std::string_view text) {
    std::string digits;
    digits.reserve(text.size());
    std::int64_t decimals = 0;
    bool point = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digits.push_back(c);
            if (point) ++decimals;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    return Decimal(std::move(digits), -decimals);
}

Decimal Decimal::shifted(int power) const {
    if (isZero()) return *this;
    Decimal d = *this;
    d.exponent_ += power;
    return d;
}

std::string Decimal::toString() const {
    if (isZero()) return "0";
    if (exponent_ >= 0) return digits_ + std::string(static_cast<std::size_t>(exponent_), '0');
    const auto decimals = static_cast<std::size_t>(-exponent_);
    if (decimals < digits_.size()) {
        std::string s = digits_;
        s.insert(digits_.size() - decimals, 1, '.');
        return s;
    }
    return "0." + std::string(decimals - digits_.size(), '0') + digits_;
}

}  // namespace kob
