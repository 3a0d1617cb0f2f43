// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "kit/random_source.h"

#include <chrono>

namespace kob {

void ClockRandom::reseed() {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    // Mix in the previous state so two reseeds within one clock tick still
    // give different questions.
    gen_.seed(static_cast<std::uint64_t>(now) ^ (gen_() << 1));
}

int ClockRandom::uniform(int n) {
    if (n <= 0) return 0;
    std::uniform_int_distribution<int> d(0, n - 1);
    return d(gen_);
}

}  // namespace kob
