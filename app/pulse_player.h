// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The real cue player: libpulse with a threaded main loop, one playback
// stream opened once, a small target buffer and a start threshold of one
// frame. It connects in the background; a cue asked for while it is still
// connecting starts once the stream is ready (the newest one only, and only
// up to a second late). Without a sound server it plays nothing, says
// nothing and keeps trying to connect (about once a second).
//
// Plays mono 16-bit clips at 44100 Hz straight from the caller's memory;
// anything else is ignored. The bytes must stay valid while they play.
#pragma once

#include <memory>

#include "app/cue_player.h"

namespace kob {

class PulsePlayer : public CuePlayer {
public:
    PulsePlayer();
    ~PulsePlayer() override;
    void play(std::string_view name, const std::uint8_t* wave, std::size_t size) override;

    // True while connected with the stream ready to take samples (for tests
    // and benches).
    bool ready() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace kob
