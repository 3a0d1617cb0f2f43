// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Feeds arbitrary bytes to the unit fields' number reader and checks what
// every reading must keep: a number reads back from its own plain form,
// forms with extra zeros are the same number, shifting is reversible, and
// the key filter only ever lets a number's characters through.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "measure/conversion_engine.h"
#include "measure/decimal.h"

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto value = kob::Decimal::parse(text);

    std::size_t points = 0;
    bool onlyNumberChars = true;
    for (char c : text) {
        if (c == '.') ++points;
        else if (c < '0' || c > '9') onlyNumberChars = false;
    }
    require(value.has_value() == (onlyNumberChars && points <= 1));

    if (value) {
        const std::string plain = value->toString();
        const auto back = kob::Decimal::parse(plain);
        require(back && *back == *value);
        require(kob::Decimal::parse("00" + std::string(text) + (points ? "00" : ".00")) == value);
        // Normalised: no leading or trailing zeros in the digits.
        const std::string& d = value->digits();
        require(d.empty() || (d.front() != '0' && d.back() != '0'));
        require(value->shifted(12).shifted(-12) == *value);
        require(value->isZero() || !(value->shifted(1) == *value));
    }

    // Whatever is pasted, the field only ever receives number characters.
    for (char c : kob::ConversionEngine::filterText(text)) require(c == '.' || (c >= '0' && c <= '9'));
    return 0;
}
