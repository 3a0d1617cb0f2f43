// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/settings_file.h"
#include "settings/file_platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>

namespace kob {

const std::string_view fileplatform::kNewFileLineEnding = "\n";

// How long a save waits for another writer's lock (a read a quarter of it).
constexpr int kLockWaitMs = 2000;

// ---------------------------------------------------------------- buffer

namespace {
constexpr std::size_t kOwnMemoryFrom = 1u << 20;
constexpr std::size_t kHugePage = 2u << 20;
}  // namespace

void IniDocument::Buffer::release() {
    if (map_) ::munmap(map_, mapSize_);
    map_ = nullptr;
    mapSize_ = 0;
}

bool IniDocument::Buffer::resize(std::size_t n) {
    if (n <= mapSize_ && map_) {
        size_ = n;
        return true;
    }
    if (n < kOwnMemoryFrom && !map_) {
        small_.resize(n);
        data_ = small_.data();
        size_ = n;
        return true;
    }
    const std::size_t want = (n + kHugePage - 1) / kHugePage * kHugePage;
    void* p = map_ ? ::mremap(map_, mapSize_, want, MREMAP_MAYMOVE)
                   : ::mmap(nullptr, want, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return false;
    ::madvise(p, want, MADV_HUGEPAGE);
    if (!map_) std::memcpy(p, small_.data(), std::min(size_, n));
    small_ = std::string();
    map_ = p;
    mapSize_ = want;
    data_ = static_cast<char*>(p);
    size_ = n;
    return true;
}

// ---------------------------------------------------------------- file

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

double monotonicMs() {
    struct timespec ts {};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// A POSIX record lock on the whole file, tried every few milliseconds for
// at most `waitMs`. Record locks belong to the process and go with the
// first close of any descriptor of the file, so the caller keeps one
// descriptor for the whole operation and opens the file no second time.
bool lockWhole(int fd, short type, int waitMs) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    const double deadline = monotonicMs() + waitMs;
    for (;;) {
        if (::fcntl(fd, F_SETLK, &fl) == 0) return true;
        if (errno == EINTR) continue;
        if (errno != EACCES && errno != EAGAIN) return false;
        if (monotonicMs() >= deadline) return false;
        ::usleep(5000);
    }
}

// Reads the whole regular file behind `fd` into `out`; false on a read
// error or a file of kMaxFileSize bytes or more.
bool readAll(int fd, IniDocument::Buffer& out) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (std::uint64_t(st.st_size) >= IniDocument::kMaxFileSize) return false;
    // Sized once from the file's length: no doubling of a large buffer.
    if (!out.resize(std::size_t(st.st_size))) return false;
    std::size_t done = 0;
    for (;;) {
        ssize_t n;
        if (done < out.size()) {
            n = ::pread(fd, out.data() + done, out.size() - done, off_t(done));
        } else {
            // The file may have grown since fstat.
            char more[65536];
            n = ::pread(fd, more, sizeof more, off_t(done));
            if (n > 0) {
                if (done + std::size_t(n) >= IniDocument::kMaxFileSize || !out.resize(done + std::size_t(n)))
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

constexpr std::size_t kTempSuffixLength = 6;

// Creates a fresh file in the folder named prefix + six random characters;
// the kernel applies the umask to its mode as for any new file.
int createTemporary(int dirFd, const std::string& prefix, std::string& name) {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::uint64_t counter = 0;
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
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Removes the temporary files that killed writers left behind. Only called
// while holding the file's lock, so no live writer of it owns one of them.
void removeStaleTemporaries(int dirFd, const std::string& prefix) {
    const int fd = ::dup(dirFd);
    if (fd < 0) return;
    DIR* d = ::fdopendir(fd);
    if (!d) {
        ::close(fd);
        return;
    }
    ::rewinddir(d);
    while (const dirent* e = ::readdir(d)) {
        const std::string_view name(e->d_name);
        if (name.size() == prefix.size() + kTempSuffixLength && name.substr(0, prefix.size()) == prefix)
            ::unlinkat(dirFd, e->d_name, 0);
    }
    ::closedir(d);
}

void splitPath(const std::string& path, std::string& dir, std::string& base) {
    const std::size_t slash = path.find_last_of('/');
    dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    base = slash == std::string::npos ? path : path.substr(slash + 1);
}

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

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Reads a file to seed a new one (or to read settings): a missing,
// unreadable or irregular file gives false. A shared lock is waited for
// briefly, so a file being rewritten in place is not read half-way.
bool readSettingsFile(const std::string& path, IniDocument::Buffer& out, bool followLinks) {
    out = IniDocument::Buffer();
    // Without O_NONBLOCK a pipe at the path would block the open until a
    // writer came; only a regular file is read (a device could be endless).
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (followLinks ? 0 : O_NOFOLLOW)));
    if (!fd.valid()) return false;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    (void)lockWhole(fd.get(), F_RDLCK, kLockWaitMs / 4);
    return readAll(fd.get(), out);
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

}  // namespace

SettingsLocation SettingsLocation::portable(const std::string& path) {
    SettingsLocation loc;
    loc.writePath = path;
    loc.readPaths = {path};
    return loc;
}

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
FileOps& FileOps::system() {
    static FileOps ops;
    return ops;
}

SettingsFile::SettingsFile(std::string path, FileOps& ops) : loc_(SettingsLocation::portable(path)), ops_(&ops) {}
SettingsFile::SettingsFile(SettingsLocation location, FileOps& ops) : loc_(std::move(location)), ops_(&ops) {}

std::string SettingsFile::readPath() const {
    for (std::size_t i = 0; i < loc_.readPaths.size(); ++i) {
        const std::string& p = loc_.readPaths[i];
        struct stat st {};
        // The own file counts as soon as its name exists; a preset only as a
        // file that can be reached.
        if (i == 0 && p == loc_.writePath ? ::lstat(p.c_str(), &st) == 0 : ::stat(p.c_str(), &st) == 0) return p;
    }
    return {};
}

SettingsFile::Reader SettingsFile::read() const {
    Reader r;
    IniDocument::Buffer bytes;
    const std::string path = readPath();
    if (!path.empty() && readSettingsFile(path, bytes, true)) r.doc_ = IniDocument::adopt(std::move(bytes));
    return r;
}

std::string SettingsFile::Reader::readString(std::string_view section, std::string_view key,
                                             std::string_view def) const {
    if (auto v = doc_.value(section, key)) return std::move(*v);
    return std::string(def);
}

int SettingsFile::Reader::readInt(std::string_view section, std::string_view key, int def) const {
    if (auto v = doc_.value(section, key)) return parseProfileInt(*v, def);
    return def;
}

bool SettingsFile::Reader::readBool(std::string_view section, std::string_view key, bool def) const {
    return readInt(section, key, def ? 1 : 0) != 0;
}

namespace {

enum class Outcome { Done, Failed, Again };

// One attempt at a save into the folder `dirFd`. `Again` when another
// writer changed the file under our feet: the caller starts over.
class SaveAttempt {
public:
    SaveAttempt(FileOps& ops, int dirFd, std::string base, const std::vector<IniEntry>& entries,
                std::function<IniDocument::Buffer()> seed)
        : ops_(ops), dirFd_(dirFd), base_(std::move(base)), entries_(entries), seed_(std::move(seed)) {}

    Outcome run() {
        struct stat entry {};
        if (::fstatat(dirFd_, base_.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT ? createNew() : Outcome::Failed;
        std::string name = base_;
        if (S_ISLNK(entry.st_mode)) {
            // Only a link to a regular file in the same folder, link and
            // file both the saving user's own.
            if (!followableLink(entry, name)) return Outcome::Failed;
        }
        struct stat st {};
        if (::fstatat(dirFd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            return Outcome::Failed;
        Fd fd(::openat(dirFd_, name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!fd.valid()) return errno == ENOENT ? Outcome::Again : Outcome::Failed;
        if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return Outcome::Failed;
        if (!lockWhole(fd.get(), F_WRLCK, kLockWaitMs)) return Outcome::Failed;
        // The name must still lead to the locked file: another writer may
        // have replaced it while we waited.
        struct stat now {};
        if (::fstatat(dirFd_, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 || !sameFile(now, st))
            return Outcome::Again;
        if (name != base_) {
            struct stat link {};
            if (::fstatat(dirFd_, base_.c_str(), &link, AT_SYMLINK_NOFOLLOW) != 0 || !sameFile(link, entry))
                return Outcome::Again;
        }

        IniDocument::Buffer bytes;
        if (!readAll(fd.get(), bytes)) return Outcome::Failed;
        IniDocument doc = IniDocument::adopt(std::move(bytes));
        for (const IniEntry& e : entries_) doc.set(e.section, e.key, e.value);

        const std::string prefix = "." + name + ".tmp";
        removeStaleTemporaries(dirFd_, prefix);
        std::string tmp;
        Fd out(createTemporary(dirFd_, prefix, tmp));
        if (!out.valid()) {
            // A folder that takes no new files: the file itself may still
            // be written. Any other refusal (no room, no inode) stands.
            if (errno == EACCES || errno == EPERM) return rewriteInPlace(fd.get(), st, doc);
            return Outcome::Failed;
        }
        if (!keepsOwnerGroupAndMode(out.get(), st)) {
            out.close();
            ::unlinkat(dirFd_, tmp.c_str(), 0);
            return rewriteInPlace(fd.get(), st, doc);
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
        return Outcome::Done;  // the lock goes with `fd`, after the rename
    }

private:
    // The whole text into a new temporary file, flushed and closed.
    bool fillTemporary(const IniDocument& doc, Fd& out) {
        bool ok = streamOut(ops_, doc, out.get(), false);
        ok = ok && ops_.fsync(out.get()) == 0;
        return out.close() && ok;
    }

    bool followableLink(const struct stat& link, std::string& name) {
        char target[4096];
        const ssize_t n = ::readlinkat(dirFd_, base_.c_str(), target, sizeof target - 1);
        if (n <= 0) return false;
        target[n] = '\0';
        std::string t(target, std::size_t(n));
        if (t.find('/') != std::string::npos) {
            // A path: it must name a file of this very folder.
            std::string tdir, tbase;
            splitPath(t, tdir, tbase);
            struct stat d1 {}, d2 {};
            const bool absolute = t.front() == '/';
            const int at = absolute ? AT_FDCWD : dirFd_;
            if (tbase.empty() || tbase == "." || tbase == ".." || ::fstatat(at, tdir.c_str(), &d1, 0) != 0 ||
                ::fstat(dirFd_, &d2) != 0 || !sameFile(d1, d2))
                return false;
            t = tbase;
        }
        struct stat st {};
        if (::fstatat(dirFd_, t.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) return false;
        const uid_t me = ::geteuid();
        if (link.st_uid != me || st.st_uid != me) return false;
        name = t;
        return true;
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

    // The file rewritten through its own descriptor: lengthened first, then
    // overwritten, cut and flushed; on any failure the old bytes go back.
    Outcome rewriteInPlace(int fd, const struct stat& st, const IniDocument& doc) {
        // Other hard links would see the change too.
        if (st.st_nlink > 1) return Outcome::Failed;
        const std::string_view old = doc.original();
        const std::size_t newSize = doc.serializedSize();
        if (newSize > old.size() && !streamOut(ops_, doc, fd, true, old.size(), newSize)) {
            (void)!ops_.ftruncate(fd, off_t(old.size()));
            return Outcome::Failed;
        }
        bool ok = streamOut(ops_, doc, fd, true, 0, std::min(old.size(), newSize));
        ok = ok && (newSize >= old.size() || ops_.ftruncate(fd, off_t(newSize)) == 0);
        ok = ok && ops_.fsync(fd) == 0;
        if (ok) return Outcome::Done;
        (void)writeFully(ops_, fd, old, off_t(0));
        (void)!ops_.ftruncate(fd, off_t(old.size()));
        (void)ops_.fsync(fd);
        return Outcome::Failed;
    }

    // No file yet: the new one is published only if there still is none.
    Outcome createNew() {
        IniDocument doc = IniDocument::adopt(seed_());
        for (const IniEntry& e : entries_) doc.set(e.section, e.key, e.value);
        std::string tmp;
        Fd out(createTemporary(dirFd_, "." + base_ + ".tmp", tmp));
        if (!out.valid()) return Outcome::Failed;
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
        // The file appeared meanwhile, or our temporary was taken away as a
        // stale one by a writer of it: start over on the file.
        if (ok && (why == EEXIST || why == ENOENT)) return Outcome::Again;
        return Outcome::Failed;
    }

    FileOps& ops_;
    int dirFd_;
    std::string base_;
    const std::vector<IniEntry>& entries_;
    std::function<IniDocument::Buffer()> seed_;
};

}  // namespace

WriteResult SettingsFile::write(const std::vector<IniEntry>& entries) const {
    const WriteResult failed{false, "Unable to write to " + loc_.writePath};
    const std::string& path = loc_.writePath;
    if (path.empty() || (loc_.createFolders && path.front() != '/')) return failed;
    std::string dir, base;
    splitPath(path, dir, base);
    if (base.empty() || base == "." || base == "..") return failed;
    if (!loc_.refusedRoot.empty() && isAtOrBelow(dir, loc_.refusedRoot)) return failed;
    if (loc_.createFolders && !makeFolders(dir, 0700)) return failed;

    Fd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd.valid()) return failed;
    // The folder as opened, in case a link was swapped in meanwhile.
    if (!loc_.refusedRoot.empty() && isAtOrBelow("/proc/self/fd/" + std::to_string(dirFd.get()), loc_.refusedRoot))
        return failed;

    // A first save copies the file that was read (an administrator's
    // preset) and edits the copy.
    // It is asked for only while the own file does not exist, so the file
    // that reads take is then the preset, if any.
    auto seed = [this] {
        IniDocument::Buffer bytes;
        const std::string p = readPath();
        if (p.empty() || p == loc_.writePath || !readSettingsFile(p, bytes, true)) bytes = IniDocument::Buffer();
        return bytes;
    };
    for (int attempt = 0; attempt < 20; ++attempt) {
        SaveAttempt save(*ops_, dirFd.get(), base, entries, seed);
        switch (save.run()) {
        case Outcome::Done: return {};
        case Outcome::Failed: return failed;
        case Outcome::Again: continue;
        }
    }
    return failed;
}

}  // namespace kob
