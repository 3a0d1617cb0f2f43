// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The background saver of a settings file.
#include "settings/settings_saver.h"

#include <iterator>
#include <utility>

namespace kob {

SettingsSaver::SettingsSaver(Write write, std::function<void()> refusalWaiting)
    : write_(std::move(write)), refusalWaiting_(std::move(refusalWaiting)) {}

SettingsSaver::~SettingsSaver() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void SettingsSaver::save(std::vector<IniEntry> entries) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queued_.insert(queued_.end(), std::make_move_iterator(entries.begin()),
                       std::make_move_iterator(entries.end()));
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    }
    changed_.notify_all();
}

std::vector<IniEntry> SettingsSaver::pending() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<IniEntry> all = writing_;
    all.insert(all.end(), queued_.begin(), queued_.end());
    return all;
}

bool SettingsSaver::finish(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, limit, [this] { return queued_.empty() && !busy_; });
}

std::optional<WriteResult> SettingsSaver::takeRefusal() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(refusal_, std::nullopt);
}

void SettingsSaver::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || !queued_.empty(); });
        if (queued_.empty()) return;  // stopped, and nothing left to write
        writing_ = std::move(queued_);
        queued_.clear();
        busy_ = true;
        lock.unlock();
        const WriteResult r = write_(writing_);
        lock.lock();
        writing_.clear();
        const bool tell = !r.ok && !refusal_;
        if (tell) refusal_ = r;
        if (tell && refusalWaiting_) {
            // Told before the save counts as ended, and without the lock
            // (the one told may take the refusal at once).
            lock.unlock();
            refusalWaiting_();
            lock.lock();
        }
        busy_ = false;
        changed_.notify_all();
    }
}

}  // namespace kob
