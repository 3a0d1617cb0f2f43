// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The saves of one settings file, run in order on a thread of their own, so
// that the window thread never waits for another program's lock. Plain
// C++, no toolkit.
//
// Saves given while another is being written are written together, in the
// order given, as one batch. A refused save leaves its result to be taken
// (takeRefusal); until it is taken, further refusals add nothing, so the
// message shows once.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "settings/settings_file.h"

namespace kob {

class SettingsSaver {
public:
    using Write = std::function<WriteResult(const std::vector<IniEntry>&)>;

    // `write` saves one batch at once; `refusalWaiting` is called on the
    // saver's thread when a refused save waits to be taken.
    SettingsSaver(Write write, std::function<void()> refusalWaiting);
    // Writes what is still queued (each save bounded by its lock wait), then
    // ends the thread.
    ~SettingsSaver();
    SettingsSaver(const SettingsSaver&) = delete;
    SettingsSaver& operator=(const SettingsSaver&) = delete;

    // Queues the entries and returns at once.
    void save(std::vector<IniEntry> entries);
    // The entries given and not yet written (also those being written), in
    // the order given.
    std::vector<IniEntry> pending() const;
    // Waits at most `limit` until nothing is queued or being written; true
    // when that came.
    bool finish(std::chrono::milliseconds limit);
    // The result of a refused save, once.
    std::optional<WriteResult> takeRefusal();

private:
    void run();

    Write write_;
    std::function<void()> refusalWaiting_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<IniEntry> queued_;   // given, not yet taken up
    std::vector<IniEntry> writing_;  // being written now
    bool busy_ = false;
    bool stop_ = false;
    std::optional<WriteResult> refusal_;
    std::thread thread_;  // started by the first save
};

}  // namespace kob
