// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings file's dealings with the system on Linux and other POSIX
// systems: the memory of a large text, and the policy of paths and files
// (descriptors, record locks, links, the modes of new files, the lock file,
// the journal, temporaries, reading and publishing a file's bytes). The
// rules are told in settings_file.h.
#include "settings/file_ops.h"
#include "settings/file_platform.h"
#include "settings/settings_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>

namespace kob {

const std::string_view fileplatform::kNewFileLineEnding = "\n";


// ---------------------------------------------------------------- memory

namespace fileplatform {

// Anonymous mappings in huge pages where the system has them, so the first
// touch of a hundred megabytes costs a few hundred faults, not tens of
// thousands; grown in place where the kernel can.
std::size_t memoryGranule() { return 2u << 20; }

void* growMemory(void* old, std::size_t oldSize, std::size_t size) {
    void* p = old ? ::mremap(old, oldSize, size, MREMAP_MAYMOVE)
                  : ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    ::madvise(p, size, MADV_HUGEPAGE);
    return p;
}

void freeMemory(void* p, std::size_t size) { ::munmap(p, size); }

}  // namespace fileplatform

// ---------------------------------------------------------------- POSIX files
//
// From here to the settings file's own methods: the POSIX policy of paths
// and files (descriptors, record locks, links, the modes of new files, the
// lock file, the journal, temporaries, reading a file's bytes).

namespace {

// Closes a descriptor on every way out.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }
    void reset(int fd = -1) {
        close();
        fd_ = fd;
    }

private:
    int fd_;
};

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

bool folderTakesNoNewFiles(int error) { return error == EACCES || error == EPERM || error == EROFS; }

// ---- waiting for others

enum class Try { Done, Busy, Again, Failed };

// How long a save waits for other savers in all, and its pauses.
constexpr int kLockWaitMs = 2000;
constexpr int kFirstPauseMs = 4;
constexpr int kLongestPauseMs = 200;
// How often an attempt may ask to start over at once (Again) before it fails.
constexpr int kMaxAgain = 50;

// Runs `attempt` until it is neither Busy nor Again. After Busy it pauses: a
// few milliseconds first, twice as long each time up to kLongestPauseMs, out
// of `budgetMs`, which every pause shrinks; with the budget spent, Busy.
// Again runs the attempt once more at once.
template <class Attempt>
Try withBackoff(FileOps& ops, int& budgetMs, const Attempt& attempt) {
    int pause = kFirstPauseMs;
    int again = 0;
    for (;;) {
        const Try t = attempt();
        if (t == Try::Again) {
            if (++again > kMaxAgain) return Try::Failed;
            continue;
        }
        if (t != Try::Busy || budgetMs <= 0) return t;
        const int p = std::min(pause, budgetMs);
        ops.pause(p);
        budgetMs -= p;
        pause = std::min(pause * 2, kLongestPauseMs);
    }
}

// A record lock on the whole file, taken without waiting. It belongs to the
// open file, not to the process: it stands against the other threads of
// this process too, and no close of another descriptor of the file drops it.
Try lockNow(int fd, short type) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    for (;;) {
        if (::fcntl(fd, F_OFD_SETLK, &fl) == 0) return Try::Done;
        if (errno == EINTR) continue;
        return errno == EACCES || errno == EAGAIN ? Try::Busy : Try::Failed;
    }
}

// True when another open file holds a lock on the file behind `fd`: any
// lock, or only a write lock.
bool lockedElsewhere(int fd, bool writeLocksOnly) {
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_GETLK, &fl) != 0) return false;
    return writeLocksOnly ? fl.l_type == F_WRLCK : fl.l_type != F_UNLCK;
}

// True when `name` in the folder, opened afresh, is the file open at `fd`.
// An open revalidates the name on a network file system, where a stat by
// name may be answered from a cache that is a minute old.
bool nameLeadsTo(int dirFd, const std::string& name, int fd) {
    Fd again(::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat a {}, b {};
    return again.valid() && ::fstat(again.get(), &a) == 0 && ::fstat(fd, &b) == 0 && sameFile(a, b);
}

// ---- names and links

void splitPath(const std::string& path, std::string& dir, std::string& base) {
    const std::size_t slash = path.find_last_of('/');
    dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    base = slash == std::string::npos ? path : path.substr(slash + 1);
}

enum class NameIs { Missing, Refused, Found };

// The file the settings name `base` stands for in its folder: the name
// itself, or the target of a symbolic link to a regular file in the same
// folder that belongs, as the link does, to this user. Any other link is
// refused. `entry` is the name's own status (the link's for a link).
NameIs settingsFileName(int dirFd, const std::string& base, std::string& name, struct stat& entry) {
    if (::fstatat(dirFd, base.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? NameIs::Missing : NameIs::Refused;
    name = base;
    if (!S_ISLNK(entry.st_mode)) return NameIs::Found;
    char target[4096];
    const ssize_t n = ::readlinkat(dirFd, base.c_str(), target, sizeof target - 1);
    if (n <= 0) return NameIs::Refused;
    std::string t(target, std::size_t(n));
    if (t.find('/') != std::string::npos) {
        // A path: it must name a file of this very folder.
        std::string tdir, tbase;
        splitPath(t, tdir, tbase);
        struct stat d1 {}, d2 {};
        const int at = t.front() == '/' ? AT_FDCWD : dirFd;
        if (tbase.empty() || tbase == "." || tbase == ".." || ::fstatat(at, tdir.c_str(), &d1, 0) != 0 ||
            ::fstat(dirFd, &d2) != 0 || !sameFile(d1, d2))
            return NameIs::Refused;
        t = tbase;
    }
    struct stat st {};
    if (::fstatat(dirFd, t.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) return NameIs::Refused;
    const uid_t me = ::geteuid();
    if (entry.st_uid != me || st.st_uid != me) return NameIs::Refused;
    name = t;
    return NameIs::Found;
}

// ---- modes of new files

// In a folder that is set-group-id and group-writable (a class folder), a
// new file gets for its group what its owner has, whatever the umask, as
// shared repositories do; elsewhere it keeps the mode it was made with.
void shareWithFolderGroup(int dirFd, int fd) {
    struct stat dir {}, st {};
    if (::fstat(dirFd, &dir) != 0 || ::fstat(fd, &st) != 0) return;
    if (!(dir.st_mode & S_ISGID) || !(dir.st_mode & S_IWGRP)) return;
    const mode_t mode = st.st_mode & 07777;
    const mode_t shared = mode | ((mode & 0600) >> 3);
    if (shared != mode) (void)::fchmod(fd, shared);
}

// True when a file found beside the settings file (whose status is `file`)
// can only have been made or changed by someone who may write the settings
// file too: it is writable by "other" only when the settings file is, by
// its group only when that is the settings file's group and may write it,
// and it belongs to the settings file's owner, to root, to this user or to
// the settings file's group.
bool madeByAWriter(const struct stat& beside, const struct stat& file) {
    if (file.st_mode & S_IWOTH) return true;
    if (beside.st_mode & S_IWOTH) return false;
    const bool groupWrites = beside.st_gid == file.st_gid && (file.st_mode & S_IWGRP);
    if ((beside.st_mode & S_IWGRP) && !groupWrites) return false;
    return beside.st_uid == file.st_uid || beside.st_uid == 0 || beside.st_uid == ::geteuid() || groupWrites;
}

// ---- reading bytes

// Reads the regular file behind `fd` from offset `from` to its end into
// `out`; false on a read error or when the bytes would be more than the
// settings file's bound.
bool readAll(int fd, IniDocument::Buffer& out, std::uint64_t from = 0) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const std::uint64_t size = std::uint64_t(st.st_size) > from ? std::uint64_t(st.st_size) - from : 0;
    if (size > SettingsFile::kMaxFileSize) return false;
    // Sized once from the file's length: no doubling of a large buffer.
    if (!out.resize(std::size_t(size))) return false;
    std::size_t done = 0;
    for (;;) {
        ssize_t n;
        if (done < out.size()) {
            n = ::pread(fd, out.data() + done, out.size() - done, off_t(from + done));
        } else {
            // The file may have grown since fstat.
            char more[65536];
            n = ::pread(fd, more, sizeof more, off_t(from + done));
            if (n > 0) {
                if (done + std::size_t(n) > SettingsFile::kMaxFileSize || !out.resize(done + std::size_t(n)))
                    return false;
                std::memcpy(out.data() + done, more, std::size_t(n));
            }
        }
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += std::size_t(n);
    }
    return out.resize(done);
}

// Writes all of `bytes`, at the descriptor's position or at offset `at`.
bool writeFully(FileOps& ops, int fd, std::string_view bytes, std::optional<off_t> at = std::nullopt) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t chunk = bytes.size() - done;
        const ssize_t n = at ? ops.pwrite(fd, bytes.data() + done, chunk, *at + off_t(done))
                             : ops.write(fd, bytes.data() + done, chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += std::size_t(n);
    }
    return true;
}

// Streams the document to `fd`: the bytes [from, to) of the text, written
// at their own offsets in the file (in place) or one after the other.
bool streamOut(FileOps& ops, const IniDocument& doc, int fd, bool atOffsets, std::size_t from = 0,
               std::size_t to = SIZE_MAX) {
    std::size_t pos = 0;
    bool ok = true;
    doc.writeTo([&](std::string_view piece) {
        const std::size_t start = pos;
        pos += piece.size();
        if (pos <= from) return true;
        if (start >= to) return false;
        const std::size_t a = std::max(start, from) - start;
        const std::size_t b = std::min(pos, to) - start;
        const std::string_view part = piece.substr(a, b - a);
        ok = atOffsets ? writeFully(ops, fd, part, off_t(start + a)) : writeFully(ops, fd, part);
        return ok;
    });
    return ok;
}

// ---- the save lock

std::string lockFileName(const std::string& name) { return "." + name + ".lock"; }

// Saves of one settings file take turns through a write lock on the lock
// file beside it, which only those who may write the settings file can
// open; its holder removes it at the end. Where the folder takes no new
// files and there is none, the settings file itself is locked.
class SaveLock {
public:
    SaveLock() = default;
    ~SaveLock() { release(); }
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;

    // Takes the lock of the settings file `name`, pausing out of `budgetMs`
    // while another saver holds it.
    Try take(FileOps& ops, int dirFd, const std::string& name, int& budgetMs) {
        dirFd_ = dirFd;
        lockName_ = lockFileName(name);
        return withBackoff(ops, budgetMs, [&] { return tryOnce(name); });
    }
    // True when the settings file itself is locked (no lock file).
    bool onFile() const { return onFile_; }

    void release() {
        // The name goes before the lock: a saver that gets the lock of the
        // removed file then finds the name gone and starts over.
        if (held_ && !onFile_ && nameLeadsTo(dirFd_, lockName_, fd_.get())) ::unlinkat(dirFd_, lockName_.c_str(), 0);
        held_ = false;
        fd_.reset();
    }

private:
    Try tryOnce(const std::string& name) {
        onFile_ = false;
        fd_.reset(::openat(dirFd_, lockName_.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!fd_.valid() && errno == EACCES) {
            // Made for others than this writer of the settings file (left by
            // a killed saver when the file's mode was another): made anew.
            if (::unlinkat(dirFd_, lockName_.c_str(), 0) != 0) return Try::Failed;
            return Try::Again;
        }
        if (!fd_.valid()) {
            if (errno != ENOENT) return Try::Failed;  // a link, or no folder
            fd_.reset(::openat(dirFd_, lockName_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
            if (!fd_.valid()) {
                if (errno == EEXIST) return Try::Again;
                return folderTakesNoNewFiles(errno) ? lockTheFileItself(name) : Try::Failed;
            }
            shapeNewLockFile(name);
        }
        struct stat st {};
        if (::fstat(fd_.get(), &st) != 0 || !S_ISREG(st.st_mode)) return Try::Failed;
        return lockAndCheck(lockName_);
    }

    Try lockTheFileItself(const std::string& name) {
        fd_.reset(::openat(dirFd_, name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        if (!fd_.valid() || ::fstat(fd_.get(), &st) != 0 || !S_ISREG(st.st_mode)) return Try::Failed;
        onFile_ = true;
        return lockAndCheck(name);
    }

    // Locks the open file and checks that `name` still leads to it (its
    // holder may have removed it, or a saver replaced the settings file).
    Try lockAndCheck(const std::string& name) {
        const Try t = lockNow(fd_.get(), F_WRLCK);
        if (t != Try::Done) {
            fd_.reset();
            return t;
        }
        if (!nameLeadsTo(dirFd_, name, fd_.get())) {
            fd_.reset();
            return Try::Again;
        }
        held_ = true;
        return Try::Done;
    }

    // A new lock file takes the settings file's owner and group where the
    // system allows, read and write for each of owner, group and "other"
    // that may write the settings file, and nothing for the rest; with no
    // settings file yet, read and write for the owner (and in a class folder
    // its group).
    void shapeNewLockFile(const std::string& name) {
        const int fd = fd_.get();
        struct stat file {};
        mode_t mode = 0600;
        if (::fstatat(dirFd_, name.c_str(), &file, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(file.st_mode)) {
            (void)!::fchown(fd, uid_t(-1), file.st_gid);
            (void)!::fchown(fd, file.st_uid, gid_t(-1));
            if (file.st_mode & S_IWGRP) mode |= 0060;
            if (file.st_mode & S_IWOTH) mode |= 0006;
            (void)::fchmod(fd, mode);
        } else {
            shareWithFolderGroup(dirFd_, fd);
        }
    }

    Fd fd_;
    int dirFd_ = -1;
    std::string lockName_;
    bool held_ = false;
    bool onFile_ = false;
};

// Waits while a saver that had no lock file holds the settings file's own
// lock. A reader's lock on it does not count.
Try waitForLockOnTheFile(FileOps& ops, int fd, int& budgetMs) {
    return withBackoff(ops, budgetMs, [&] { return lockedElsewhere(fd, true) ? Try::Busy : Try::Done; });
}

// ---- the journal of a rewrite in place

std::string journalFileName(const std::string& name) { return "." + name + ".journal"; }

// A journal is a head of five little-endian 64-bit numbers (a mark, the
// device and inode of the settings file it is for, the text's length, and
// a checksum of the three before it and the text), then the text.
constexpr std::uint64_t kJournalMark = 0x314C4E524A424F4Bull;  // "KOBJRNL1"
constexpr std::size_t kJournalHeadSize = 40;

class Checksum {
public:
    void add(std::string_view bytes) {
        for (unsigned char c : bytes) h_ = (h_ ^ c) * 0x100000001B3ull;
    }
    void add(std::uint64_t v) {
        for (int i = 0; i < 8; ++i) h_ = (h_ ^ ((v >> (8 * i)) & 0xFF)) * 0x100000001B3ull;
    }
    std::uint64_t value() const { return h_; }

private:
    std::uint64_t h_ = 0xCBF29CE484222325ull;
};

std::string journalHead(const struct stat& file, std::uint64_t length, std::uint64_t sum) {
    std::string head;
    for (std::uint64_t v : {kJournalMark, std::uint64_t(file.st_dev), std::uint64_t(file.st_ino), length, sum})
        for (int i = 0; i < 8; ++i) head.push_back(char((v >> (8 * i)) & 0xFF));
    return head;
}

std::uint64_t headNumber(const char* p) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

enum class JournalWrite { Written, NoRoom, Failed };

// The whole new text of the settings file `name` (status `file`) into a
// new journal beside it, flushed, its name too. NoRoom: the folder takes no
// new files.
JournalWrite writeJournal(FileOps& ops, int dirFd, const std::string& name, const struct stat& file,
                          const IniDocument& doc) {
    const std::string jname = journalFileName(name);
    Fd j(::openat(dirFd, jname.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!j.valid()) return folderTakesNoNewFiles(errno) ? JournalWrite::NoRoom : JournalWrite::Failed;
    // Readable by whoever may read the settings file; writable by no one
    // whom the settings file would not let in.
    (void)!::fchown(j.get(), uid_t(-1), file.st_gid);
    (void)::fchmod(j.get(), file.st_mode & 0664);
    Checksum sum;
    std::uint64_t length = 0;
    sum.add(std::uint64_t(file.st_dev));
    sum.add(std::uint64_t(file.st_ino));
    doc.writeTo([&](std::string_view piece) {
        length += piece.size();
        return true;
    });
    sum.add(length);
    doc.writeTo([&](std::string_view piece) {
        sum.add(piece);
        return true;
    });
    bool ok = writeFully(ops, j.get(), journalHead(file, length, sum.value()));
    ok = ok && streamOut(ops, doc, j.get(), false);
    ok = ok && ops.fsync(j.get()) == 0;
    ok = j.close() && ok;
    if (!ok) {
        ::unlinkat(dirFd, jname.c_str(), 0);
        return JournalWrite::Failed;
    }
    // The journal's name reaches the disk before the file is touched.
    (void)ops.fsync(dirFd);
    return JournalWrite::Written;
}

enum class Journal { None, Incomplete, Complete, Foreign };

// The journal beside the settings file `name` (status `file`): Complete
// with its text in `text`; Incomplete when it is cut short, damaged or for
// another file; Foreign when it cannot be read or was not made by one who
// may write the settings file.
Journal readJournal(int dirFd, const std::string& name, const struct stat& file, IniDocument::Buffer& text) {
    Fd j(::openat(dirFd, journalFileName(name).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!j.valid()) return errno == ENOENT ? Journal::None : Journal::Foreign;
    struct stat st {};
    if (::fstat(j.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 || !madeByAWriter(st, file))
        return Journal::Foreign;
    char head[kJournalHeadSize];
    if (std::uint64_t(st.st_size) < kJournalHeadSize ||
        ::pread(j.get(), head, kJournalHeadSize, 0) != ssize_t(kJournalHeadSize))
        return Journal::Incomplete;
    const std::uint64_t length = headNumber(head + 24);
    if (headNumber(head) != kJournalMark || headNumber(head + 8) != std::uint64_t(file.st_dev) ||
        headNumber(head + 16) != std::uint64_t(file.st_ino) || length > SettingsFile::kMaxFileSize ||
        std::uint64_t(st.st_size) != kJournalHeadSize + length)
        return Journal::Incomplete;
    if (!readAll(j.get(), text, kJournalHeadSize) || text.size() != length) return Journal::Incomplete;
    Checksum sum;
    sum.add(std::uint64_t(file.st_dev));
    sum.add(std::uint64_t(file.st_ino));
    sum.add(length);
    sum.add(text.view());
    return sum.value() == headNumber(head + 32) ? Journal::Complete : Journal::Incomplete;
}

// Removes the journal; where the folder lets it be written but not removed
// (a sticky folder), empties it, so that it reads as incomplete.
bool removeJournal(int dirFd, const std::string& name) {
    const std::string jname = journalFileName(name);
    if (::unlinkat(dirFd, jname.c_str(), 0) == 0 || errno == ENOENT) return true;
    Fd j(::openat(dirFd, jname.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    return j.valid();
}

// With the save lock held and the settings file open for writing at `fd`:
// finishes a rewrite that a killed saver left, by writing the complete
// journal's text over the file; an incomplete or foreign journal is
// removed where possible. False when the file could not be finished.
bool finishJournal(FileOps& ops, int dirFd, const std::string& name, int fd, const struct stat& file) {
    IniDocument::Buffer text;
    switch (readJournal(dirFd, name, file, text)) {
    case Journal::None: return true;
    case Journal::Incomplete:
    case Journal::Foreign: (void)removeJournal(dirFd, name); return true;
    case Journal::Complete: break;
    }
    bool ok = writeFully(ops, fd, text.view(), off_t(0));
    ok = ok && ops.ftruncate(fd, off_t(text.size())) == 0;
    ok = ok && ops.fsync(fd) == 0;
    return ok && removeJournal(dirFd, name);
}

// ---- temporaries

constexpr std::size_t kTempSuffixLength = 6;
// Another user's temporary that nobody holds is left alone this long: its
// writer may be about to lock it.
constexpr int kForeignTemporaryAgeS = 60;

// Creates a fresh file in the folder named prefix + six random characters
// and locks it for as long as it is written; the kernel applies the umask
// to its mode as for any new file.
int createTemporary(int dirFd, const std::string& prefix, std::string& name) {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::atomic<std::uint64_t> counter{0};
    struct timespec ts {};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    std::uint64_t seed = std::uint64_t(ts.tv_nsec) ^ (std::uint64_t(ts.tv_sec) << 30) ^
                         (std::uint64_t(::getpid()) << 16);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::uint64_t x = seed + 0x9E3779B97F4A7C15ull * ++counter;
        x = (x ^ (x >> 31)) * 0xBF58476D1CE4E5B9ull;
        name = prefix;
        for (std::size_t i = 0; i < kTempSuffixLength; ++i) {
            name.push_back(kChars[x % 62]);
            x /= 62;
        }
        const int fd = ::openat(dirFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) (void)lockNow(fd, F_WRLCK);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Removes the temporaries that savers left behind when they were killed:
// those nobody holds a lock on that are this user's own, or another user's
// older than a minute. Another user's temporary in the middle of a save
// stays.
void removeStaleTemporaries(int dirFd, const std::string& prefix) {
    const int fd = ::dup(dirFd);
    if (fd < 0) return;
    DIR* d = ::fdopendir(fd);
    if (!d) {
        ::close(fd);
        return;
    }
    ::rewinddir(d);
    const uid_t me = ::geteuid();
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    while (const dirent* e = ::readdir(d)) {
        const std::string_view name(e->d_name);
        if (name.size() != prefix.size() + kTempSuffixLength || name.substr(0, prefix.size()) != prefix) continue;
        Fd t(::openat(dirFd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        if (!t.valid() || ::fstat(t.get(), &st) != 0 || !S_ISREG(st.st_mode) || lockedElsewhere(t.get(), false))
            continue;
        if (st.st_uid != me && now.tv_sec - st.st_mtim.tv_sec < kForeignTemporaryAgeS) continue;
        ::unlinkat(dirFd, e->d_name, 0);
    }
    ::closedir(d);
}

// ---- folders

std::string realPath(const std::string& path) {
    std::string out;
    if (char* r = ::realpath(path.c_str(), nullptr)) {
        out = r;
        std::free(r);
    }
    return out;
}

// `path` made absolute and free of links as far as it exists, the rest
// appended as written ("." dropped, ".." taking a folder off).
std::string resolvedAsFarAsItExists(const std::string& path) {
    std::vector<std::string> tail;
    std::string head = path;
    std::string real;
    for (;;) {
        real = realPath(head);
        if (!real.empty()) break;
        const std::size_t slash = head.find_last_of('/');
        if (slash == std::string::npos) return {};
        tail.push_back(head.substr(slash + 1));
        head = slash == 0 ? "/" : head.substr(0, slash);
        if (head == "/" && realPath(head).empty()) return {};
    }
    for (auto it = tail.rbegin(); it != tail.rend(); ++it) {
        if (it->empty() || *it == ".") continue;
        if (*it == "..") {
            const std::size_t slash = real.find_last_of('/');
            real = slash == 0 ? "/" : real.substr(0, slash);
            continue;
        }
        if (real.back() != '/') real += '/';
        real += *it;
    }
    return real;
}

// True when `path` lies at or below `root` (both as they really are).
bool isAtOrBelow(const std::string& path, const std::string& root) {
    const std::string p = resolvedAsFarAsItExists(path);
    std::string r = resolvedAsFarAsItExists(root);
    if (p.empty() || r.empty()) return true;  // cannot tell: keep out
    if (r == "/") return true;
    return p == r || (p.size() > r.size() && p.compare(0, r.size(), r) == 0 && p[r.size()] == '/');
}

// Makes the missing folders of `dir` (an absolute path), each with `mode`.
bool makeFolders(const std::string& dir, mode_t mode) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    std::size_t pos = 1;
    while (pos <= dir.size()) {
        const std::size_t slash = dir.find('/', pos);
        const std::string part = dir.substr(0, slash == std::string::npos ? dir.size() : slash);
        if (::mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
        pos = slash + 1;
    }
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// ---- reading

// A preset (an administrator's file, which saves never write): a missing,
// unreadable or irregular file gives false.
bool readPresetFile(const std::string& path, IniDocument::Buffer& out) {
    out = IniDocument::Buffer();
    // Without O_NONBLOCK a pipe at the path would block the open until a
    // writer came; only a regular file is read (a device could be endless).
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    return fd.valid() && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) && readAll(fd.get(), out);
}

// A reader that finds a complete journal finishes the rewrite itself when
// it may save and no saver is at work, without waiting for anyone.
bool finishJournalWithoutWaiting(FileOps& ops, int dirFd, const std::string& name) {
    SaveLock lock;
    int noWait = 0;
    if (lock.take(ops, dirFd, name, noWait) != Try::Done) return false;
    Fd fd(::openat(dirFd, name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (!lock.onFile() && lockedElsewhere(fd.get(), true)) return false;
    return finishJournal(ops, dirFd, name, fd.get(), st);
}

bool unchangedWhileRead(const struct stat& a, const struct stat& b) {
    return sameFile(a, b) && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
           a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// The settings file's own bytes, by the rules saves follow (a refused link
// reads as no file), without waiting for any lock: while a rewrite in place
// is under way its complete journal is read instead (or the rewrite
// finished, where `mayWrite` says the folder may be written), and a file
// that changed while it was read is read again.
bool readOwnFile(FileOps& ops, const std::string& path, const std::function<bool(const std::string&)>& mayWrite,
                 IniDocument::Buffer& out) {
    out = IniDocument::Buffer();
    std::string dir, base, name;
    splitPath(path, dir, base);
    Fd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat entry {};
    if (!dirFd.valid() || settingsFileName(dirFd.get(), base, name, entry) != NameIs::Found) return false;
    bool read = false;
    for (int attempt = 0; attempt < 3; ++attempt) {
        Fd fd(::openat(dirFd.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat before {}, after {};
        if (!fd.valid() || ::fstat(fd.get(), &before) != 0 || !S_ISREG(before.st_mode)) return false;
        IniDocument::Buffer journal;
        if (readJournal(dirFd.get(), name, before, journal) == Journal::Complete) {
            if (mayWrite(dir) && finishJournalWithoutWaiting(ops, dirFd.get(), name)) continue;
            out = std::move(journal);
            return true;
        }
        read = readAll(fd.get(), out);
        if (!read) return false;
        if (::fstat(fd.get(), &after) != 0) return false;
        // A rewrite that started meanwhile has its complete journal by now,
        // or has changed the file's times.
        if (readJournal(dirFd.get(), name, after, journal) == Journal::Complete) {
            out = std::move(journal);
            return true;
        }
        if (unchangedWhileRead(before, after)) return true;
    }
    return read;
}

}  // namespace

ssize_t FileOps::write(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }
ssize_t FileOps::pwrite(int fd, const void* data, std::size_t size, off_t offset) {
    return ::pwrite(fd, data, size, offset);
}
int FileOps::fsync(int fd) { return ::fsync(fd); }
int FileOps::ftruncate(int fd, off_t length) { return ::ftruncate(fd, length); }
int FileOps::renameat(int fromDir, const char* from, int toDir, const char* to) {
    return ::renameat(fromDir, from, toDir, to);
}
int FileOps::renameNoReplace(int fromDir, const char* from, int toDir, const char* to) {
    return ::renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE);
}
int FileOps::linkat(int fromDir, const char* from, int toDir, const char* to) {
    return ::linkat(fromDir, from, toDir, to, 0);
}
void FileOps::pause(int ms) {
    struct timespec ts {ms / 1000, long(ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}
FileOps& FileOps::system() {
    static FileOps ops;
    return ops;
}


namespace {

enum class Outcome { Done, Failed, Again };

// One attempt at a save into the folder `dirFd`. `Again` when another
// writer changed the file under our feet: the caller starts over.
class SaveAttempt {
public:
    SaveAttempt(FileOps& ops, int dirFd, std::string base, const std::function<void(IniDocument&)>& edit,
                std::function<IniDocument::Buffer()> seed, int& budgetMs)
        : ops_(ops), dirFd_(dirFd), base_(std::move(base)), edit_(edit), seed_(std::move(seed)),
          budgetMs_(budgetMs) {}

    Outcome run() {
        std::string name;
        struct stat entry {};
        const NameIs is = settingsFileName(dirFd_, base_, name, entry);
        if (is == NameIs::Refused) return Outcome::Failed;
        if (is == NameIs::Missing) name = base_;
        // Only one who may write the file takes part in its locking.
        if (is == NameIs::Found && ::faccessat(dirFd_, name.c_str(), W_OK, AT_EACCESS) != 0) return Outcome::Failed;
        SaveLock lock;
        if (lock.take(ops_, dirFd_, name, budgetMs_) != Try::Done) return Outcome::Failed;

        Fd fd(::openat(dirFd_, name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!fd.valid()) {
            if (errno != ENOENT) return Outcome::Failed;
            return is == NameIs::Missing ? createNew() : Outcome::Again;  // gone while we waited
        }
        // A file that appeared, or a link that changed, while we waited.
        if (is == NameIs::Missing || !sameEntry(entry)) return Outcome::Again;
        struct stat st {};
        if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return Outcome::Failed;
        if (!lock.onFile() && waitForLockOnTheFile(ops_, fd.get(), budgetMs_) != Try::Done) return Outcome::Failed;
        if (!finishJournal(ops_, dirFd_, name, fd.get(), st) || ::fstat(fd.get(), &st) != 0) return Outcome::Failed;
        // A file with further names: rewritten in place when it is the
        // saving user's own (so that every name sees the save), else refused.
        const bool furtherNames = st.st_nlink > 1;
        if (furtherNames && st.st_uid != ::geteuid()) return Outcome::Failed;

        IniDocument::Buffer bytes;
        if (!readAll(fd.get(), bytes)) return Outcome::Failed;
        IniDocument doc = IniDocument::adopt(std::move(bytes));
        edit_(doc);
        if (doc.serializedSize() > SettingsFile::kMaxFileSize) return Outcome::Failed;
        if (furtherNames) return rewriteInPlace(fd.get(), st, doc, name);

        const std::string prefix = "." + name + ".tmp";
        removeStaleTemporaries(dirFd_, prefix);
        std::string tmp;
        Fd out(createTemporary(dirFd_, prefix, tmp));
        if (!out.valid()) {
            // A folder that takes no new files: the file itself may still
            // be written. Any other refusal (no room, no inode) stands.
            if (errno == EACCES || errno == EPERM) return rewriteInPlace(fd.get(), st, doc, name);
            return Outcome::Failed;
        }
        if (!keepsOwnerGroupAndMode(out.get(), st)) {
            out.close();
            ::unlinkat(dirFd_, tmp.c_str(), 0);
            return rewriteInPlace(fd.get(), st, doc, name);
        }
        bool ok = fillTemporary(doc, out);
        ok = ok && ops_.renameat(dirFd_, tmp.c_str(), dirFd_, name.c_str()) == 0;
        if (!ok) {
            ::unlinkat(dirFd_, tmp.c_str(), 0);
            return Outcome::Failed;
        }
        // The new name must reach the disk too; folders on some file systems
        // cannot be synced, which does not undo the write.
        (void)ops_.fsync(dirFd_);
        return Outcome::Done;  // the lock goes after the rename
    }

private:
    // The settings name still has the status it had when it was resolved.
    bool sameEntry(const struct stat& entry) const {
        struct stat now {};
        return ::fstatat(dirFd_, base_.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(now, entry) &&
               (now.st_mode & S_IFMT) == (entry.st_mode & S_IFMT);
    }

    // The whole text into a new temporary file, flushed and closed.
    bool fillTemporary(const IniDocument& doc, Fd& out) {
        bool ok = streamOut(ops_, doc, out.get(), false);
        ok = ok && ops_.fsync(out.get()) == 0;
        return out.close() && ok;
    }

    // Gives the new file the old one's owner, group and mode where the
    // system allows it; true when all three are the old ones.
    static bool keepsOwnerGroupAndMode(int fd, const struct stat& old) {
        struct stat st {};
        if (::fstat(fd, &st) != 0) return false;
        // Group and owner one at a time: an ordinary user may change the
        // group to one of their own groups but never the owner.
        if (st.st_gid != old.st_gid) (void)!::fchown(fd, uid_t(-1), old.st_gid);
        if (st.st_uid != old.st_uid) (void)!::fchown(fd, old.st_uid, gid_t(-1));
        // After the owner: a change of owner clears the set-id bits.
        (void)::fchmod(fd, old.st_mode & 07777);
        if (::fstat(fd, &st) != 0) return false;
        return st.st_uid == old.st_uid && st.st_gid == old.st_gid && (st.st_mode & 07777) == (old.st_mode & 07777);
    }

    // The file rewritten through its own descriptor: the new text into a
    // journal first, then the file lengthened, overwritten, cut and flushed,
    // and the journal removed. On any failure the old bytes go back.
    Outcome rewriteInPlace(int fd, const struct stat& st, const IniDocument& doc, const std::string& name) {
        const JournalWrite journal = writeJournal(ops_, dirFd_, name, st, doc);
        if (journal == JournalWrite::Failed) return Outcome::Failed;
        const bool journaled = journal == JournalWrite::Written;
        const std::string_view old = doc.original();
        const std::size_t newSize = doc.serializedSize();
        bool ok = newSize <= old.size() || streamOut(ops_, doc, fd, true, old.size(), newSize);
        ok = ok && streamOut(ops_, doc, fd, true, 0, std::min(old.size(), newSize));
        ok = ok && (newSize >= old.size() || ops_.ftruncate(fd, off_t(newSize)) == 0);
        ok = ok && ops_.fsync(fd) == 0;
        if (ok) {
            if (journaled) (void)removeJournal(dirFd_, name);
            return Outcome::Done;
        }
        bool back = writeFully(ops_, fd, old, off_t(0));
        back = ops_.ftruncate(fd, off_t(old.size())) == 0 && back;
        back = ops_.fsync(fd) == 0 && back;
        // The journal's text was never the file's: no reader may take it. If
        // the old bytes could not go back, it finishes the rewrite instead.
        if (journaled && back) (void)removeJournal(dirFd_, name);
        return Outcome::Failed;
    }

    // No file yet: the new one is published only if there still is none.
    Outcome createNew() {
        IniDocument doc = IniDocument::adopt(seed_());
        edit_(doc);
        if (doc.serializedSize() > SettingsFile::kMaxFileSize) return Outcome::Failed;
        std::string tmp;
        Fd out(createTemporary(dirFd_, "." + base_ + ".tmp", tmp));
        if (!out.valid()) return Outcome::Failed;
        shareWithFolderGroup(dirFd_, out.get());
        const bool ok = fillTemporary(doc, out);
        if (ok) {
            if (ops_.renameNoReplace(dirFd_, tmp.c_str(), dirFd_, base_.c_str()) == 0) {
                (void)ops_.fsync(dirFd_);
                return Outcome::Done;
            }
            if (errno == EINVAL || errno == ENOSYS) {
                // File systems without it (network ones): a hard link fails
                // the same way when the name exists.
                if (ops_.linkat(dirFd_, tmp.c_str(), dirFd_, base_.c_str()) == 0) {
                    ::unlinkat(dirFd_, tmp.c_str(), 0);
                    (void)ops_.fsync(dirFd_);
                    return Outcome::Done;
                }
            }
        }
        const int why = errno;
        ::unlinkat(dirFd_, tmp.c_str(), 0);
        // The file appeared meanwhile, or our temporary was taken away by
        // another writer: start over on the file.
        if (ok && (why == EEXIST || why == ENOENT)) return Outcome::Again;
        return Outcome::Failed;
    }

    FileOps& ops_;
    int dirFd_;
    std::string base_;
    const std::function<void(IniDocument&)>& edit_;
    std::function<IniDocument::Buffer()> seed_;
    int& budgetMs_;
};

}  // namespace

namespace fileplatform {

bool exists(const std::string& path, bool ownFile) {
    struct stat st {};
    // The own file counts as soon as its name exists; a preset only as a
    // file that can be reached.
    return ownFile ? ::lstat(path.c_str(), &st) == 0 : ::stat(path.c_str(), &st) == 0;
}

bool readOwn(const SettingsLocation& loc, FileOps* ops, IniDocument::Buffer& out) {
    // Nothing at or below the refused root is written, by a read either.
    auto mayWrite = [&loc](const std::string& dir) {
        return loc.refusedRoot.empty() || !isAtOrBelow(dir, loc.refusedRoot);
    };
    return readOwnFile(ops ? *ops : FileOps::system(), loc.writePath, mayWrite, out);
}

bool readPreset(const std::string& path, IniDocument::Buffer& out) { return readPresetFile(path, out); }

bool save(const SettingsLocation& loc, FileOps* opsGiven, const std::function<void(IniDocument&)>& edit,
          const std::function<IniDocument::Buffer()>& seed) {
    FileOps& ops = opsGiven ? *opsGiven : FileOps::system();
    const std::string& path = loc.writePath;
    if (path.empty() || (loc.createFolders && path.front() != '/')) return false;
    std::string dir, base;
    splitPath(path, dir, base);
    if (base.empty() || base == "." || base == "..") return false;
    if (!loc.refusedRoot.empty() && isAtOrBelow(dir, loc.refusedRoot)) return false;
    if (loc.createFolders && !makeFolders(dir, 0700)) return false;

    Fd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd.valid()) return false;
    // The folder as opened, in case a link was swapped in meanwhile.
    if (!loc.refusedRoot.empty() && isAtOrBelow("/proc/self/fd/" + std::to_string(dirFd.get()), loc.refusedRoot))
        return false;

    int budgetMs = kLockWaitMs;
    for (int round = 0; round < 20; ++round) {
        SaveAttempt attempt(ops, dirFd.get(), base, edit, seed, budgetMs);
        switch (attempt.run()) {
        case Outcome::Done: return true;
        case Outcome::Failed: return false;
        case Outcome::Again: continue;
        }
    }
    return false;
}

}  // namespace fileplatform

}  // namespace kob
