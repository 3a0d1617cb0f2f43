// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Randomness for the question generators: a uniform whole number from 0 to
// n - 1, reseeded before every question. Injected, so tests are exact.
#pragma once

#include <cstdint>
#include <random>

namespace kob {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void reseed() = 0;
    // Uniform in 0 .. n-1; 0 when n <= 0.
    virtual int uniform(int n) = 0;
};

// The program's source: reseeded from the high-resolution clock.
class ClockRandom : public RandomSource {
public:
    void reseed() override;
    int uniform(int n) override;

private:
    std::mt19937_64 gen_{0x6b6f62616c74ULL};
};

}  // namespace kob
