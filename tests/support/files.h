// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Files for the settings tests (no toolkit): whole-file reads, folder
// listings, the count of open descriptors, a save run in a child process under another identity, and file
// operations that make one step of a save fail or record its pauses.
#pragma once

#include <dirent.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "settings/file_ops.h"
#include "settings/settings_file.h"

namespace filekit {

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// A fresh folder `<parent><stem>-XXXXXX` of the given mode, removed with
// everything in it, whatever modes the test left on its folders.
struct ScratchDir {
    ScratchDir(std::string parent, const std::string& stem, mode_t mode) {
        if (!parent.empty() && parent.back() != '/') parent += '/';
        std::string tmpl = parent + stem + "-XXXXXX";
        path = ::mkdtemp(tmpl.data());
        ::chmod(path.c_str(), mode);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::permissions(path, std::filesystem::perms::all, ec);
        for (const auto& e : std::filesystem::recursive_directory_iterator(path, ec))
            if (e.is_directory(ec)) std::filesystem::permissions(e.path(), std::filesystem::perms::all, ec);
        std::filesystem::remove_all(path, ec);
    }
    std::string file(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

// How many descriptors this process holds open (with the one that counts them).
inline int openDescriptors() {
    int n = 0;
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (::readdir(d)) ++n;
        ::closedir(d);
    }
    return n;
}

// The names in `dir` (not "." and ".."), sorted.
inline std::vector<std::string> entriesOf(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Who a child process becomes before it saves.
struct Identity {
    uid_t uid;
    gid_t gid;                  // primary group
    std::vector<gid_t> groups;  // supplementary groups
    std::optional<mode_t> umask;
};

// Runs `write` in a child process, as `who` when given (taken completely, or
// the child gives up), and hands its result back. Empty when the child could
// not take the identity or did not report.
inline std::optional<kob::WriteResult> runAs(const std::optional<Identity>& who,
                                             const std::function<kob::WriteResult()>& write) {
    int fds[2];
    if (::pipe(fds) != 0) return std::nullopt;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (who) {
            if (::setgroups(who->groups.size(), who->groups.data()) != 0 || ::setgid(who->gid) != 0 ||
                ::setuid(who->uid) != 0 || ::geteuid() != who->uid)
                ::_exit(3);
            if (who->umask) ::umask(*who->umask);
        }
        const kob::WriteResult r = write();
        const std::string out = (r.ok ? "1" : "0") + r.message;
        (void)!::write(fds[1], out.data(), out.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string out;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, std::size_t(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || out.empty()) return std::nullopt;
    return kob::WriteResult{out[0] == '1', out.substr(1)};
}

// The faults a save can meet.
struct Faults {
    std::size_t failAtByte = SIZE_MAX;  // the data written stops after this many bytes with ENOSPC
    bool failSync = false;              // every sync is refused (EIO)
    bool failRename = false;            // the rename (or link) that publishes the file is refused (EPERM)
};

// The system's calls but for the given faults. A disk filling up lets the
// save's data through up to `failAtByte` bytes, then refuses the next
// write once; writes after that one (putting old bytes back) go through.
class FaultyOps : public kob::FileOps {
public:
    explicit FaultyOps(Faults f) : f_(f) {}

    ssize_t write(int fd, const void* data, std::size_t size) override {
        const std::size_t n = allowed(size);
        if (n == 0 && size > 0) return refuse(ENOSPC);
        return FileOps::write(fd, data, n);
    }
    ssize_t pwrite(int fd, const void* data, std::size_t size, off_t offset) override {
        const std::size_t n = allowed(size);
        if (n == 0 && size > 0) return refuse(ENOSPC);
        return FileOps::pwrite(fd, data, n, offset);
    }
    int fsync(int fd) override { return f_.failSync ? int(refuse(EIO)) : FileOps::fsync(fd); }
    int renameat(int fromDir, const char* from, int toDir, const char* to) override {
        return f_.failRename ? int(refuse(EPERM)) : FileOps::renameat(fromDir, from, toDir, to);
    }
    int renameNoReplace(int fromDir, const char* from, int toDir, const char* to) override {
        return f_.failRename ? int(refuse(EPERM)) : FileOps::renameNoReplace(fromDir, from, toDir, to);
    }
    int linkat(int fromDir, const char* from, int toDir, const char* to) override {
        return f_.failRename ? int(refuse(EPERM)) : FileOps::linkat(fromDir, from, toDir, to);
    }

    std::size_t written() const { return written_; }
    bool refusedAWrite() const { return spent_; }

private:
    // How many of `size` bytes may be written now; 0 refuses the write.
    std::size_t allowed(std::size_t size) {
        if (spent_ || f_.failAtByte == SIZE_MAX) return size;
        const std::size_t room = f_.failAtByte - std::min(written_, f_.failAtByte);
        if (room == 0) {
            spent_ = true;
            return 0;
        }
        const std::size_t n = std::min(size, room);
        written_ += n;
        return n;
    }
    static ssize_t refuse(int why) {
        errno = why;
        return -1;
    }

    Faults f_;
    std::size_t written_ = 0;
    bool spent_ = false;
};

// The system's calls, with the pauses a save makes while a lock is held
// recorded: the thread that paused and for how long. They are slept only
// when `sleep` is set; `atPause` runs at each (given the pauses so far),
// `atSync` before each flush.
class RecordingOps : public kob::FileOps {
public:
    explicit RecordingOps(bool sleep = false) : sleep_(sleep) {}
    struct Pause {
        std::thread::id thread;
        int ms;
    };
    void pause(int ms) override {
        std::size_t count;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            pauses_.push_back({std::this_thread::get_id(), ms});
            count = pauses_.size();
        }
        if (atPause) atPause(count);
        if (sleep_) FileOps::pause(ms);
    }
    // The pauses made on `thread`.
    std::vector<int> pausesOn(std::thread::id thread) const {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<int> out;
        for (const Pause& p : pauses_)
            if (p.thread == thread) out.push_back(p.ms);
        return out;
    }
    int fsync(int fd) override {
        if (atSync) atSync();
        return FileOps::fsync(fd);
    }
    std::function<void(std::size_t)> atPause;
    std::function<void()> atSync;

private:
    bool sleep_;
    mutable std::mutex mutex_;
    std::vector<Pause> pauses_;
};

}  // namespace filekit
