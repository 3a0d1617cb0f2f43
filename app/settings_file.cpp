#include "app/settings_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace kob {

namespace {

constexpr std::size_t kMaxValueLength = 2047;
constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<int> parseHex(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t v = 0;
    for (char c : digits) {
        const int d = hexDigit(c);
        if (d < 0) return std::nullopt;
        v = v * 16 + std::uint64_t(d);
        if (v > 0xFFFFFFFFull) return std::nullopt;
    }
    return static_cast<int>(static_cast<std::uint32_t>(v));
}

std::optional<int> parseDecimal(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return std::nullopt;
    std::int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > std::int64_t(INT_MAX) + 1) return std::nullopt;
    }
    if (negative) v = -v;
    if (v < INT_MIN || v > INT_MAX) return std::nullopt;
    return static_cast<int>(v);
}

// What one line of the file is.
struct LineInfo {
    enum Kind { Blank, Comment, Section, Key, Other } kind = Other;
    std::string_view name;      // section or key name, trimmed
    std::size_t valueStart = 0; // Key: offset just past the "="
};

LineInfo classify(std::string_view text) {
    LineInfo info;
    const std::string_view t = trim(text);
    if (t.empty()) {
        info.kind = LineInfo::Blank;
    } else if (t.front() == '[') {
        const std::size_t close = t.find(']');
        if (close != std::string_view::npos) {
            info.kind = LineInfo::Section;
            info.name = trim(t.substr(1, close - 1));
        }
    } else if (t.front() == ';') {
        info.kind = LineInfo::Comment;
    } else {
        const std::size_t eq = text.find('=');
        if (eq != std::string_view::npos) {
            info.kind = LineInfo::Key;
            info.name = trim(text.substr(0, eq));
            info.valueStart = eq + 1;
        }
    }
    return info;
}

std::string_view unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return v;
}

std::string withoutLineBreaks(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (c != '\r' && c != '\n') out.push_back(c);
    return out;
}

WriteFaults gFaults;

}  // namespace

void setWriteFaultsForTesting(const WriteFaults& faults) { gFaults = faults; }

std::string iniPathForExecutable(const std::string& exePath) {
    const std::size_t slash = exePath.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = exePath.find_last_of('.');
    // A leading dot ("/opt/.kobaltfa") marks a hidden file, not an extension.
    if (dot != std::string::npos && dot > nameStart) return exePath.substr(0, dot) + ".ini";
    return exePath + ".ini";
}

int parseProfileInt(std::string_view value, int def) {
    const std::string_view v = trim(value);
    std::optional<int> r;
    if (!v.empty() && v.front() == '$') {
        r = parseHex(v.substr(1));
    } else if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
        r = parseHex(v.substr(2));
    } else {
        r = parseDecimal(v);
    }
    return r.value_or(def);
}

// ---------------------------------------------------------------- document

IniDocument IniDocument::parse(std::string_view bytes) {
    IniDocument doc;
    if (bytes.substr(0, kBom.size()) == kBom) {
        doc.bom_ = std::string(kBom);
        bytes.remove_prefix(kBom.size());
    }
    while (!bytes.empty()) {
        const std::size_t nl = bytes.find('\n');
        Line line;
        if (nl == std::string_view::npos) {
            // A carriage return at the very end is the first half of a line
            // ending, not part of the line.
            if (bytes.back() == '\r') {
                line.eol = "\r";
                bytes.remove_suffix(1);
            }
            line.text = std::string(bytes);
            bytes = {};
        } else {
            std::size_t end = nl;
            if (end > 0 && bytes[end - 1] == '\r') {
                --end;
                line.eol = "\r\n";
            } else {
                line.eol = "\n";
            }
            line.text = std::string(bytes.substr(0, end));
            bytes.remove_prefix(nl + 1);
        }
        doc.lines_.push_back(std::move(line));
    }
    return doc;
}

namespace {

// The header line of the first section of that name, or npos.
template <class Lines>
std::size_t findSection(const Lines& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LineInfo info = classify(lines[i].text);
        if (info.kind == LineInfo::Section && sameName(info.name, section)) return i;
    }
    return std::string::npos;
}

// The first line after the section's header that opens another section.
template <class Lines>
std::size_t sectionEnd(const Lines& lines, std::size_t header) {
    std::size_t i = header + 1;
    while (i < lines.size() && classify(lines[i].text).kind != LineInfo::Section) ++i;
    return i;
}

}  // namespace

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const {
    const std::size_t header = findSection(lines_, section);
    if (header == std::string::npos) return std::nullopt;
    const std::size_t end = sectionEnd(lines_, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const std::string& text = lines_[i].text;
        const LineInfo info = classify(text);
        if (info.kind != LineInfo::Key || !sameName(info.name, key)) continue;
        std::string_view v = unquote(trim(std::string_view(text).substr(info.valueStart)));
        if (v.size() > kMaxValueLength) v = v.substr(0, kMaxValueLength);
        return std::string(v);
    }
    return std::nullopt;
}

void IniDocument::set(std::string_view sectionIn, std::string_view keyIn, std::string_view valueIn) {
    const std::string section = withoutLineBreaks(sectionIn);
    const std::string key = withoutLineBreaks(keyIn);
    const std::string value = withoutLineBreaks(valueIn);

    std::size_t crlf = 0, lf = 0;
    for (const Line& l : lines_) {
        if (l.eol == "\r\n") ++crlf;
        else if (l.eol == "\n") ++lf;
    }
    const std::string eol = crlf > lf ? "\r\n" : "\n";

    // Inserts after line `after` (or at the start for npos), keeping the
    // file's last line without an ending if it had none.
    auto insertAfter = [&](std::size_t after, std::string text) {
        Line line{std::move(text), eol};
        const std::size_t pos = after == std::string::npos ? 0 : after + 1;
        if (after != std::string::npos && (lines_[after].eol.empty() || lines_[after].eol == "\r")) {
            lines_[after].eol = lines_[after].eol.empty() ? eol : "\r\n";
            line.eol.clear();
        }
        lines_.insert(lines_.begin() + std::ptrdiff_t(pos), std::move(line));
    };

    const std::size_t header = findSection(lines_, section);
    if (header == std::string::npos) {
        const std::size_t last = lines_.empty() ? std::string::npos : lines_.size() - 1;
        insertAfter(last, "[" + section + "]");
        insertAfter(lines_.size() - 1, key + "=" + value);
        return;
    }
    const std::size_t end = sectionEnd(lines_, header);
    std::size_t lastFilled = header;
    for (std::size_t i = header + 1; i < end; ++i) {
        std::string& text = lines_[i].text;
        const LineInfo info = classify(text);
        if (info.kind == LineInfo::Key && sameName(info.name, key)) {
            text = text.substr(0, info.valueStart) + value;
            return;
        }
        if (info.kind != LineInfo::Blank) lastFilled = i;
    }
    insertAfter(lastFilled, key + "=" + value);
}

std::string IniDocument::serialize() const {
    std::size_t size = bom_.size();
    for (const Line& l : lines_) size += l.text.size() + l.eol.size();
    std::string out;
    out.reserve(size);
    out += bom_;
    for (const Line& l : lines_) {
        out += l.text;
        out += l.eol;
    }
    return out;
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
    void reset() { close(); }

private:
    int fd_;
};

enum class ReadStatus { Ok, Missing, Failed };

ReadStatus readWhole(const std::string& path, std::string& out) {
    out.clear();
    // Without O_NONBLOCK a pipe at the path would block the open until a
    // writer came; only a regular file is read (a device could be endless).
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid()) return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return ReadStatus::Failed;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return ReadStatus::Failed;
        }
        out.append(buf, std::size_t(n));
    }
    return ReadStatus::Ok;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::size_t chunk = bytes.size() - done;
        if (gFaults.failAfterBytes != SIZE_MAX) {
            if (done >= gFaults.failAfterBytes) {
                errno = ENOSPC;
                return false;
            }
            chunk = std::min(chunk, gFaults.failAfterBytes - done);
        }
        const ssize_t n = ::write(fd, bytes.data() + done, chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += std::size_t(n);
    }
    return true;
}

constexpr std::size_t kTempSuffixLength = 6;

// Creates a fresh file named prefix + six random characters; the kernel
// applies the umask to its mode as for any new file.
int createTemporary(const std::string& dir, const std::string& prefix, std::string& path) {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::uint64_t counter = 0;
    struct timespec ts {};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    std::uint64_t seed = std::uint64_t(ts.tv_nsec) ^ (std::uint64_t(ts.tv_sec) << 30) ^
                         (std::uint64_t(::getpid()) << 16);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::uint64_t x = seed + 0x9E3779B97F4A7C15ull * ++counter;
        x = (x ^ (x >> 31)) * 0xBF58476D1CE4E5B9ull;
        std::string name = prefix;
        for (std::size_t i = 0; i < kTempSuffixLength; ++i) {
            name.push_back(kChars[x % 62]);
            x /= 62;
        }
        path = dir + "/" + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Removes the temporary files that killed writers left behind. Only called
// while holding the folder lock, so no live writer owns one of them.
void removeStaleTemporaries(const std::string& dir, const std::string& prefix) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    while (const dirent* e = ::readdir(d)) {
        const std::string_view name(e->d_name);
        if (name.size() == prefix.size() + kTempSuffixLength && name.substr(0, prefix.size()) == prefix)
            ::unlink((dir + "/" + std::string(name)).c_str());
    }
    ::closedir(d);
}

}  // namespace

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {}

SettingsFile::Reader SettingsFile::read() const {
    Reader r;
    std::string bytes;
    if (readWhole(path_, bytes) == ReadStatus::Ok) r.doc_ = IniDocument::parse(bytes);
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

WriteResult SettingsFile::write(const std::vector<IniEntry>& entries) const {
    const WriteResult failed{false, "Unable to write to " + path_};

    // Write through a symbolic link rather than replacing the link.
    std::string target = path_;
    struct stat st {};
    if (::lstat(path_.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(path_.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    const std::size_t slash = target.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty()) return failed;

    Fd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd.valid()) return failed;
    while (::flock(dirFd.get(), LOCK_EX) != 0)
        if (errno != EINTR) return failed;

    // The old file must itself be writable: the rename below would replace
    // a read-only file without asking.
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && (!S_ISREG(st.st_mode) || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0))
        return failed;

    std::string bytes;
    if (readWhole(target, bytes) == ReadStatus::Failed) return failed;
    IniDocument doc = IniDocument::parse(bytes);
    for (const IniEntry& e : entries) doc.set(e.section, e.key, e.value);
    bytes = doc.serialize();

    const std::string prefix = "." + base + ".tmp";
    removeStaleTemporaries(dir, prefix);
    std::string tmp;
    Fd fd(createTemporary(dir, prefix, tmp));
    if (!fd.valid()) return failed;

    // The new file takes over the old one's mode and, where allowed, owner.
    bool ok = !exists || ::fchmod(fd.get(), st.st_mode & 07777) == 0;
    if (ok && exists && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()))
        (void)!::fchown(fd.get(), st.st_uid, st.st_gid);
    ok = ok && writeAll(fd.get(), bytes);
    ok = ok && !gFaults.failSync && ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    ok = ok && !gFaults.failRename && ::rename(tmp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tmp.c_str());
        return failed;
    }
    // The new name must reach the disk too; folders on some file systems
    // cannot be synced, which does not undo the write.
    (void)::fsync(dirFd.get());
    return {};
}

}  // namespace kob
