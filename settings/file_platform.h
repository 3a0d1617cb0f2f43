// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the settings file asks of the system: finding, reading and saving
// the file. One implementation per platform, each in its own file; the
// text itself (IniDocument) and the reading of values are shared.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "settings/settings_file.h"

namespace kob::fileplatform {

// Files of this size or more are neither read nor written.
constexpr std::uint64_t kMaxSettingsSize = std::uint64_t(1) << 30;
// How long a save waits for another writer's lock.
constexpr int kLockWaitMs = 2000;

// The ending of lines new to a file that has none yet.
extern const std::string_view kNewFileLineEnding;

// Whether a read may take `path`: the own file as soon as its name exists,
// a preset only as a file that can be reached.
bool exists(const std::string& path, bool ownFile);

// The whole regular file at `path`; false when it is missing, unreadable,
// not a plain file or too large.
bool readSettingsFile(const std::string& path, IniDocument::Buffer& out, bool followLinks);

// One save of the file `loc.writePath`: waits its turn among the writers,
// reads the file afresh (or takes `seed()` when there is none), lets `edit`
// change it and publishes the result whole. False when refused; nothing is
// changed on disk then.
bool save(const SettingsLocation& loc, const std::function<void(IniDocument&)>& edit,
          const std::function<IniDocument::Buffer()>& seed);

}  // namespace kob::fileplatform
