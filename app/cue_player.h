// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The sound player behind `Szoveg`: takes a WAVE image in place and plays
// it asynchronously; a new cue stops the one playing and starts at once.
// Nothing is queued or waited for. Plain C++, no toolkit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace kob {

class CuePlayer {
public:
    virtual ~CuePlayer() = default;
    // `name` is the cue's name as passed to Szoveg; `wave` points at a whole
    // WAVE file image that stays valid for the whole run (it is never
    // copied). Returns at once.
    virtual void play(std::string_view name, const std::uint8_t* wave, std::size_t size) = 0;
};

// The platform's own player (libpulse on Linux, waveOut on Windows); each
// platform's player file defines it.
std::unique_ptr<CuePlayer> makeSystemCuePlayer();

// Finds the PCM sample bytes of a WAVE image (RIFF, "fmt " PCM mono 16 bit,
// one "data" chunk). Returns false for anything else.
struct PcmView {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t channels = 0;
    std::uint16_t bitsPerSample = 0;
};
bool findPcm(const std::uint8_t* wave, std::size_t size, PcmView& out);

}  // namespace kob
