// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The system calls of a save on POSIX systems, as an object a SettingsFile
// can be given (settings_file_posix.cpp makes the real calls).
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace kob {

// The calls a save makes to put bytes on disk and to publish them. Every
// save goes through the object its SettingsFile was given; this base class
// makes the system's own calls, so the default is the real thing. A test
// derives from it to make one step fail (a disk that fills up, a sync or a
// rename that is refused) and hands its object to the SettingsFile.
class FileOps {
public:
    virtual ~FileOps() = default;
    virtual ssize_t write(int fd, const void* data, std::size_t size);
    virtual ssize_t pwrite(int fd, const void* data, std::size_t size, off_t offset);
    virtual int fsync(int fd);
    virtual int ftruncate(int fd, off_t length);
    virtual int renameat(int fromDir, const char* from, int toDir, const char* to);
    // renameat2 with RENAME_NOREPLACE: fails with EEXIST when `to` exists.
    virtual int renameNoReplace(int fromDir, const char* from, int toDir, const char* to);
    virtual int linkat(int fromDir, const char* from, int toDir, const char* to);
    // Waits `ms` milliseconds before a lock held by another process is tried
    // again.
    virtual void pause(int ms);

    // The system's calls, shared by every SettingsFile given no other.
    static FileOps& system();
};

}  // namespace kob
