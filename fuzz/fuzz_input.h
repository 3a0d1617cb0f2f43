// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Shared by the fuzz targets: a check that stops the run, and a reader that
// takes the fuzzer's bytes front to back (0 once they are used up).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace fuzzin {

inline void require(bool ok) {
    if (!ok) std::abort();
}

struct Bytes {
    const std::uint8_t* p;
    std::size_t n;
    std::uint8_t next() {
        if (n == 0) return 0;
        --n;
        return *p++;
    }
    char32_t codePoint() {
        std::uint32_t c = next();
        c |= std::uint32_t(next()) << 8;
        c |= std::uint32_t(next()) << 16;
        return char32_t(c % 0x110000);
    }
    std::int64_t int64() {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v |= std::uint64_t(next()) << (8 * i);
        return std::int64_t(v);
    }
    std::string_view take(std::size_t len) {
        len = std::min(len, n);
        const std::string_view s(reinterpret_cast<const char*>(p), len);
        p += len;
        n -= len;
        return s;
    }
};

}  // namespace fuzzin
