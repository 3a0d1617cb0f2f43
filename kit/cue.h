// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's sound cues: one enumeration, and for each cue the name it is
// known by (what the player is told) and the embedded clip it plays. The
// clips are WAVE images under :/sounds/ by their upper-case names. A cue
// outside this list cannot be asked for. Plain C++.
#pragma once

#include <cstddef>

namespace kob {

enum class Cue {
    Hello,            // the program starts
    ByeBye,           // a window is closed
    Perfect,          // a good answer
    Missed,           // a bad answer
    LeaveMeAlone,     // a click on a window's bare background
    YoullRegretThat,  // the pupil asks to leave the program
    DragonBall,       // a drill window opens
    Revenge,          // embedded, played by no event
    OinUtter,         // embedded, played by no event
};

struct CueClip {
    Cue cue;
    const char* name;  // "ByeBye"
    const char* clip;  // its resource: "BYEBYE"
};

inline constexpr CueClip kCueClips[] = {
    {Cue::Hello, "Hello", "HELLO"},
    {Cue::ByeBye, "ByeBye", "BYEBYE"},
    {Cue::Perfect, "Perfect", "PERFECT"},
    {Cue::Missed, "Missed", "MISSED"},
    {Cue::LeaveMeAlone, "LeaveMeAlone", "LEAVEMEALONE"},
    {Cue::YoullRegretThat, "YoullRegretThat", "YOULLREGRETTHAT"},
    {Cue::DragonBall, "DragonBall", "DRAGONBALL"},
    {Cue::Revenge, "Revenge", "REVENGE"},
    {Cue::OinUtter, "OinUtter", "OINUTTER"},
};

// The row of a cue (rows stand in the enumeration's order).
constexpr const CueClip& cueClip(Cue c) { return kCueClips[static_cast<std::size_t>(c)]; }

}  // namespace kob
