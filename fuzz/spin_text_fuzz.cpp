// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Feeds arbitrary bytes to the reader that turns a maximum spin box's text
// into the number the next task is drawn from and the settings file stores.
// It must agree with a plain reading of "an optional sign and decimal
// digits within the int range, otherwise 0" for every text, whatever its
// length, give back every number it wrote, and settle every text within
// the box's bounds.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "measure/conversion_settings.h"

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

// The whole number the text holds: one optional "+" or "-", then at least
// one digit and nothing else, within the range of int. None for any other text.
std::optional<int> referenceNumber(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    // Wide enough for every value up to the bound, checked digit by digit so
    // that no length of text can overflow it.
    const std::int64_t bound = negative ? -std::int64_t(INT_MIN) : std::int64_t(INT_MAX);
    std::int64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > bound) return std::nullopt;
    }
    return int(negative ? -magnitude : magnitude);
}

int referenceValue(std::string_view text) { return referenceNumber(text).value_or(0); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int value = kob::spinTextValue(text);
    require(value == referenceValue(text));
    require(kob::spinTextNumber(text) == referenceNumber(text));

    // Left, the box settles within its bounds: on the number, or on the
    // nearer bound, or on 0 brought into them when the text is no number.
    for (const auto& [lo, hi] : {std::pair{0, 100}, std::pair{0, 50000000}, std::pair{-5, 5}}) {
        const int settled = kob::spinSettledValue(text, lo, hi);
        require(settled >= lo && settled <= hi);
        require(settled == (value < lo ? lo : value > hi ? hi : value));
    }

    // Leading zeros, as a spin box may show while the pupil types, change
    // nothing.
    require(kob::spinTextValue("000" + text) == referenceValue("000" + text));

    // A number written to the file or shown by the box reads back as itself.
    int written = 0;
    std::memcpy(&written, data, std::min(size, sizeof written));
    require(kob::spinTextValue(std::to_string(written)) == written);
    if (written >= 0) require(kob::spinTextValue("+" + std::to_string(written)) == written);
    // One digit more than int holds is no number, however it is signed.
    const std::string beyond = std::to_string(std::int64_t(written) * 10 + (written < 0 ? -9 : 9));
    if (std::int64_t(written) * 10 > INT_MAX || std::int64_t(written) * 10 < INT_MIN)
        require(kob::spinTextValue(beyond) == 0);
    return 0;
}
