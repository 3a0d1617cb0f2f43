// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What a window needs from the program around it: the settings file, the
// sound cues, randomness for its drill, a way to report a refused write,
// and the skin menu with its shortcuts. Every window is built on one shell:
// the program's (app/program_shell.h) or, in a test, a fake.
#pragma once

#include <QList>
#include <memory>

#include "kit/cue_fwd.h"
#include "kit/random_source.h"
#include "settings/settings_file.h"

class QAction;
class QMenu;

namespace kobui {

class Shell {
public:
    virtual ~Shell() = default;

    // The one settings file every window reads and writes.
    virtual const kob::SettingsFile& settings() const = 0;

    // Plays a cue: it stops the one playing and starts at once.
    virtual void Szoveg(kob::Cue cue) = 0;

    // A random source for a new drill.
    virtual std::unique_ptr<kob::RandomSource> makeRandom() = 0;

    // Shows the message of a refused write ("Unable to write to <path>");
    // a write that succeeded shows nothing.
    virtual void reportWriteResult(const kob::WriteResult& r) = 0;

    // The skin pop-up menu every window opens on a right click, and its
    // items, whose shortcuts work in every window.
    virtual QMenu* skinMenu() const = 0;
    virtual QList<QAction*> skinActions() const = 0;
};

}  // namespace kobui
