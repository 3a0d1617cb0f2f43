// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The cue type alone, for the interfaces that pass a cue on (the shell, the
// windows' Szoveg, a drill's verdict). Only the code that names a cue
// includes kit/cue.h, so a change to the list rebuilds only what plays cues.
#pragma once

namespace kob {
enum class Cue;
}  // namespace kob
