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

namespace kob {

class FileOps;

namespace fileplatform {

// The memory of a large text (IniDocument::Buffer): blocks of a multiple of
// memoryGranule() bytes. growMemory gives a block of `size` bytes holding
// the `oldSize` bytes of `old` (which it takes over; null for none), or
// null when there is no room (then `old` stays).
std::size_t memoryGranule();
void* growMemory(void* old, std::size_t oldSize, std::size_t size);
void freeMemory(void* p, std::size_t size);

// The ending of lines new to a file that has none yet.
extern const std::string_view kNewFileLineEnding;

// Whether a read may take `path`: the own file as soon as its name exists,
// a preset only as a file that can be reached.
bool exists(const std::string& path, bool ownFile);

// The own file `loc.writePath` as the platform's rules let it be read
// (links, size, an unfinished rewrite); false when it is missing or refused.
bool readOwn(const SettingsLocation& loc, FileOps* ops, IniDocument::Buffer& out);
// An administrator's preset: any regular file that can be reached.
bool readPreset(const std::string& path, IniDocument::Buffer& out);

// One save of the file `loc.writePath`: waits its turn among the writers
// (about two seconds at most), reads the file afresh (or takes `seed()`
// when there is none), lets `edit` change it and publishes the result
// whole. False when refused; nothing is changed on disk then. `ops` are
// the POSIX writer's calls (null: the system's).
bool save(const SettingsLocation& loc, FileOps* ops, const std::function<void(IniDocument&)>& edit,
          const std::function<IniDocument::Buffer()>& seed);

}  // namespace fileplatform
}  // namespace kob
