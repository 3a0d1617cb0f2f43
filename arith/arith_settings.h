// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// An arithmetic window's remembered options: its time limit and which of its
// radio buttons (number ranges or times tables) is selected. The keys come
// from the window's description: the time limit in its timer section, then
// one boolean per button, in the buttons' order, in its number-choice
// section. Read each time the window is shown, written at every close.
// Plain C++.
#pragma once

#include <cstddef>
#include <optional>

#include "arith/arith_data.h"
#include "drill/drill_state.h"
#include "settings/settings_table.h"

namespace kob {

struct ArithSettings {
    int timeLimit = kDefaultTimeLimit;        // 1..120
    std::optional<std::size_t> selected = 0;  // index into the buttons; none selected when empty
};

// The window's settings, declared once per window description: the time
// limit bound to `timeLimit`, each button bound to `selected`; reading order
// is writing order.
const RecordSettings<ArithSettings>& arithSettings(const ArithWindowData& data);

// Reads the window's keys. The time limit is clamped to 1..120. The buttons
// are read in order as the window applies them: one stored as selected
// clears the others, one stored as not selected clears only itself; so the
// last one stored as selected wins, and none is selected when all are
// stored as not selected (a missing key has the default: the first button
// selected, the others not).
ArithSettings loadArithSettings(const SettingsFile& file, const ArithWindowData& data);

// Writes every key: the time limit, then each button "1" when it is the
// selected one, else "0".
WriteResult storeArithSettings(const SettingsFile& file, const ArithWindowData& data, const ArithSettings& s);

}  // namespace kob
