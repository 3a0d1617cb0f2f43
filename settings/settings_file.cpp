#include "settings/settings_file.h"

#include "settings/settings_saver.h"

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

}  // namespace

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

namespace {

constexpr std::size_t kNone = SIZE_MAX;

std::uint32_t hashName(std::string_view name) {
    std::uint32_t h = 2166136261u;
    for (char c : name) {
        h ^= static_cast<unsigned char>(lowerAscii(c));
        h *= 16777619u;
    }
    return h;
}

// One line of the text: [start, textEnd) without its ending, the next line
// from `next` on.
struct LineSpan {
    std::size_t start = 0, textEnd = 0, next = 0;
};

// Walks the lines of text[from, to). A line ends at LF, CRLF or a lone CR.
// The next CR and LF are remembered, so a file of one kind of ending is
// searched once for the other kind, not once a line.
class LineWalker {
public:
    LineWalker(std::string_view text, std::size_t from, std::size_t to) : t_(text), pos_(from), end_(to) {}
    bool next(LineSpan& line) {
        if (pos_ >= end_) return false;
        if (!lfKnown_ || lf_ < pos_) lf_ = find('\n'), lfKnown_ = true;
        if (!crKnown_ || cr_ < pos_) cr_ = find('\r'), crKnown_ = true;
        const std::size_t e = std::min(lf_, cr_);
        line.start = pos_;
        line.textEnd = e;
        if (e >= end_) {
            line.next = end_;
        } else if (t_[e] == '\r' && e + 1 < end_ && t_[e + 1] == '\n') {
            line.next = e + 2;
        } else {
            line.next = e + 1;
        }
        pos_ = line.next;
        return true;
    }

private:
    std::size_t find(char c) const {
        const void* p = std::memchr(t_.data() + pos_, c, end_ - pos_);
        return p ? std::size_t(static_cast<const char*>(p) - t_.data()) : end_;
    }
    std::string_view t_;
    std::size_t pos_, end_;
    std::size_t lf_ = 0, cr_ = 0;
    bool lfKnown_ = false, crKnown_ = false;
};

// What one line of the file is.
struct LineInfo {
    enum Kind { Blank, Comment, Section, Key, Other } kind = Other;
    std::string_view name;      // section or key name, trimmed
    std::size_t valueStart = 0; // Key: offset in the line just past the "="
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

// The header test alone, for the pass over the whole file.
bool isHeader(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    return i < text.size() && text[i] == '[' && text.find(']', i + 1) != std::string_view::npos;
}

// A value as the readers see it.
std::string readValue(std::string_view raw) {
    std::string_view v = unquote(trim(raw));
    if (v.size() > kMaxValueLength) v = v.substr(0, kMaxValueLength);
    return std::string(v);
}

// Items (32-bit numbers) grouped by the bucket of their hash, in the order
// they were given within a bucket: a hash table of about six bytes an item
// that keeps "first occurrence wins" by construction.
struct BucketIndex {
    std::vector<std::uint32_t> starts;  // bucket b holds items[starts[b] .. starts[b + 1])
    std::vector<std::uint32_t> items;
    std::uint32_t mask = 0;

    // forEach(f) calls f(item) for every item in order; hashOf(item) is its hash.
    template <class ForEach, class HashOf>
    void build(std::size_t n, const ForEach& forEach, const HashOf& hashOf) {
        std::size_t buckets = 1;
        while (buckets * 2 <= n) buckets *= 2;
        mask = std::uint32_t(buckets - 1);
        starts.assign(buckets + 1, 0);
        items.assign(n, 0);
        forEach([&](std::uint32_t item) { ++starts[(hashOf(item) & mask) + 1]; });
        for (std::size_t b = 1; b <= buckets; ++b) starts[b] += starts[b - 1];
        // Filled through starts[b], which then points at the next bucket.
        forEach([&](std::uint32_t item) { items[starts[hashOf(item) & mask]++] = item; });
        for (std::size_t b = buckets; b > 0; --b) starts[b] = starts[b - 1];
        starts[0] = 0;
    }
    template <class Match>
    std::optional<std::uint32_t> find(std::uint32_t hash, const Match& match) const {
        if (starts.empty()) return std::nullopt;
        const std::uint32_t b = hash & mask;
        for (std::uint32_t i = starts[b]; i < starts[b + 1]; ++i)
            if (match(items[i])) return items[i];
        return std::nullopt;
    }
};

struct NewLine {
    std::string key, value;
};

struct NewSection {
    std::string name;
    std::vector<NewLine> lines;
};

struct Replacement {
    std::size_t end;    // the end of the old value (the line's text end)
    std::string value;
};

// The keys of one section, indexed when the section is first looked into.
struct SectionKeys {
    BucketIndex keys;           // line starts of the key lines
    std::size_t insertAt = 0;   // where a new key goes: after the last non-blank line
};

}  // namespace

struct IniDocument::Index {
    Buffer bytes;
    std::string_view text;        // the document's bytes
    std::size_t bom = 0;
    std::size_t crlf = 0, lf = 0, cr = 0;
    bool endsOpen = false;        // the last line has no line ending
    std::vector<std::uint32_t> headers;  // line starts of the section headers
    BucketIndex sections;                // header numbers by name
    mutable std::map<std::uint32_t, SectionKeys> keys;  // by header number

    std::map<std::size_t, Replacement> replaced;         // by value start
    std::map<std::size_t, std::vector<NewLine>> inserted;  // by offset
    std::vector<NewSection> newSections;

    std::string_view eol() const {
        // The most frequent ending; LF before CRLF before CR on a tie.
        if (lf >= crlf && lf >= cr) return "\n";
        if (crlf >= cr) return "\r\n";
        return "\r";
    }

    // The line starting at `start`, found by looking at its own bytes only.
    LineSpan lineAt(std::size_t start) const {
        LineSpan l;
        l.start = start;
        std::size_t e = start;
        while (e < text.size() && text[e] != '\n' && text[e] != '\r') ++e;
        l.textEnd = e;
        l.next = e == text.size() ? e : (text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n') ? e + 2 : e + 1;
        return l;
    }
    std::string_view lineText(const LineSpan& l) const { return text.substr(l.start, l.textEnd - l.start); }

    std::string_view headerName(std::uint32_t h) const {
        return classify(lineText(lineAt(headers[h]))).name;
    }

    void build() {
        if (text.substr(0, kBom.size()) == kBom) bom = kBom.size();
        LineWalker w(text, bom, text.size());
        LineSpan l;
        while (w.next(l)) {
            switch (l.next - l.textEnd) {
            case 2: ++crlf; break;
            case 1: (text[l.textEnd] == '\n' ? lf : cr)++; break;
            default: break;
            }
            if (isHeader(lineText(l))) headers.push_back(std::uint32_t(l.start));
        }
        endsOpen = text.size() > bom && text.back() != '\n' && text.back() != '\r';
        sections.build(
            headers.size(),
            [&](auto f) {
                for (std::uint32_t h = 0; h < headers.size(); ++h) f(h);
            },
            [&](std::uint32_t h) { return hashName(headerName(h)); });
    }

    std::optional<std::uint32_t> findSection(std::string_view name) const {
        return sections.find(hashName(name), [&](std::uint32_t h) { return sameName(headerName(h), name); });
    }

    const SectionKeys& keysOf(std::uint32_t h) const {
        auto it = keys.find(h);
        if (it != keys.end()) return it->second;
        SectionKeys& k = keys[h];
        const LineSpan header = lineAt(headers[h]);
        const std::size_t end = h + 1 < headers.size() ? headers[h + 1] : text.size();
        k.insertAt = header.next;
        std::size_t count = 0;
        auto forEach = [&](auto f) {
            LineWalker w(text, header.next, end);
            LineSpan l;
            while (w.next(l)) {
                const LineInfo info = classify(lineText(l));
                if (info.kind == LineInfo::Key) f(std::uint32_t(l.start));
            }
        };
        {
            LineWalker w(text, header.next, end);
            LineSpan l;
            while (w.next(l)) {
                const LineInfo info = classify(lineText(l));
                if (info.kind == LineInfo::Key) ++count;
                if (info.kind != LineInfo::Blank) k.insertAt = l.next;
            }
        }
        k.keys.build(count, forEach, [&](std::uint32_t start) {
            return hashName(classify(lineText(lineAt(start))).name);
        });
        return k;
    }

    // The first key line of that name in section h.
    std::optional<LineSpan> findKey(std::uint32_t h, std::string_view key) const {
        const auto start = keysOf(h).keys.find(hashName(key), [&](std::uint32_t s) {
            return sameName(classify(lineText(lineAt(s))).name, key);
        });
        if (!start) return std::nullopt;
        return lineAt(*start);
    }

    std::size_t valueStart(const LineSpan& l) const { return l.start + classify(lineText(l)).valueStart; }
};

IniDocument::IniDocument() : index_(std::make_unique<Index>()) {}
IniDocument::~IniDocument() = default;
IniDocument::IniDocument(IniDocument&& o) noexcept = default;
IniDocument& IniDocument::operator=(IniDocument&& o) noexcept = default;

IniDocument IniDocument::parse(std::string_view bytes) { return adopt(std::string(bytes.substr(0, kMaxFileSize))); }

IniDocument IniDocument::adopt(std::string&& bytes) { return adopt(Buffer(std::move(bytes))); }

IniDocument IniDocument::adopt(Buffer&& bytes) {
    IniDocument doc;
    doc.index_->bytes = std::move(bytes);
    doc.index_->text = doc.index_->bytes.view().substr(0, kMaxFileSize);
    doc.index_->build();
    return doc;
}

// ---------------------------------------------------------------- buffer

namespace {
constexpr std::size_t kOwnMemoryFrom = 1u << 20;
constexpr std::size_t kHugePage = 2u << 20;
}  // namespace

IniDocument::Buffer::Buffer(std::string&& s) : small_(std::move(s)), data_(small_.data()), size_(small_.size()) {}

IniDocument::Buffer::~Buffer() { release(); }

IniDocument::Buffer::Buffer(Buffer&& o) noexcept { *this = std::move(o); }

IniDocument::Buffer& IniDocument::Buffer::operator=(Buffer&& o) noexcept {
    if (this == &o) return *this;
    release();
    small_ = std::move(o.small_);
    map_ = o.map_;
    mapSize_ = o.mapSize_;
    size_ = o.size_;
    data_ = map_ ? static_cast<char*>(map_) : small_.data();
    o.map_ = nullptr;
    o.mapSize_ = 0;
    o.size_ = 0;
    o.small_.clear();
    o.data_ = o.small_.data();
    return *this;
}

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

std::string_view IniDocument::original() const { return index_->text; }

namespace {

const NewLine* findNewLine(const std::vector<NewLine>& lines, std::string_view key) {
    for (const NewLine& l : lines)
        if (sameName(l.key, key)) return &l;
    return nullptr;
}

}  // namespace

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const {
    const Index& x = *index_;
    if (const auto h = x.findSection(section)) {
        if (const auto line = x.findKey(*h, key)) {
            const std::size_t v = x.valueStart(*line);
            const auto r = x.replaced.find(v);
            if (r != x.replaced.end()) return readValue(r->second.value);
            return readValue(x.text.substr(v, line->textEnd - v));
        }
        const auto ins = x.inserted.find(x.keysOf(*h).insertAt);
        if (ins != x.inserted.end())
            if (const NewLine* l = findNewLine(ins->second, key)) return readValue(l->value);
        return std::nullopt;
    }
    for (const NewSection& s : x.newSections)
        if (sameName(s.name, section)) {
            if (const NewLine* l = findNewLine(s.lines, key)) return readValue(l->value);
            return std::nullopt;
        }
    return std::nullopt;
}

void IniDocument::set(std::string_view sectionIn, std::string_view keyIn, std::string_view valueIn) {
    std::string section = withoutLineBreaks(sectionIn);
    std::string key = withoutLineBreaks(keyIn);
    std::string value = withoutLineBreaks(valueIn);
    Index& x = *index_;

    auto setIn = [&](std::vector<NewLine>& lines) {
        for (NewLine& l : lines)
            if (sameName(l.key, key)) {
                l.value = std::move(value);
                return;
            }
        lines.push_back({std::move(key), std::move(value)});
    };

    if (const auto h = x.findSection(section)) {
        if (const auto line = x.findKey(*h, key)) {
            x.replaced[x.valueStart(*line)] = {line->textEnd, std::move(value)};
            return;
        }
        setIn(x.inserted[x.keysOf(*h).insertAt]);
        return;
    }
    for (NewSection& s : x.newSections)
        if (sameName(s.name, section)) {
            setIn(s.lines);
            return;
        }
    x.newSections.push_back({std::move(section), {}});
    x.newSections.back().lines.push_back({std::move(key), std::move(value)});
}

bool IniDocument::writeTo(const std::function<bool(std::string_view)>& out) const {
    const Index& x = *index_;
    const std::string_view eol = x.eol();
    std::size_t pos = 0;
    // New lines at `at`: at the end of a file whose last line has no
    // ending, each line is preceded by one (the file still ends open).
    auto emit = [&](std::size_t at, std::string text) {
        if (at == x.text.size() && x.endsOpen) return out(eol) && out(text);
        return out(text) && out(eol);
    };
    auto r = x.replaced.begin();
    auto i = x.inserted.begin();
    while (r != x.replaced.end() || i != x.inserted.end()) {
        // A replacement ends before any insertion at the same offset.
        const bool takeReplacement = i == x.inserted.end() || (r != x.replaced.end() && r->first <= i->first);
        const std::size_t at = takeReplacement ? r->first : i->first;
        if (at > pos && !out(x.text.substr(pos, at - pos))) return false;
        pos = std::max(pos, at);
        if (takeReplacement) {
            if (!out(r->second.value)) return false;
            pos = r->second.end;
            ++r;
        } else {
            for (const NewLine& l : i->second)
                if (!emit(at, l.key + "=" + l.value)) return false;
            ++i;
        }
    }
    if (pos < x.text.size() && !out(x.text.substr(pos))) return false;
    for (const NewSection& s : x.newSections) {
        if (!emit(x.text.size(), "[" + s.name + "]")) return false;
        for (const NewLine& l : s.lines)
            if (!emit(x.text.size(), l.key + "=" + l.value)) return false;
    }
    return true;
}

std::size_t IniDocument::serializedSize() const {
    std::size_t n = 0;
    writeTo([&](std::string_view piece) {
        n += piece.size();
        return true;
    });
    return n;
}

std::string IniDocument::serialize() const {
    std::string out;
    out.reserve(serializedSize());
    writeTo([&](std::string_view piece) {
        out.append(piece);
        return true;
    });
    return out;
}

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

// ---------------------------------------------------------------- settings file

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
void FileOps::pause(int ms) {
    struct timespec ts {ms / 1000, long(ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}
FileOps& FileOps::system() {
    static FileOps ops;
    return ops;
}

SettingsFile::SettingsFile(std::string path, FileOps& ops) : loc_(SettingsLocation::portable(path)), ops_(&ops) {}
SettingsFile::SettingsFile(SettingsLocation location, FileOps& ops) : loc_(std::move(location)), ops_(&ops) {}
// The saver goes first (it is the last member): what it still has queued is
// written with the rest still there.
SettingsFile::~SettingsFile() = default;

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
    // The entries not yet written are taken first: one that lands meanwhile
    // is then in the file too, with the same value.
    const std::vector<IniEntry> pending = saver_ ? saver_->pending() : std::vector<IniEntry>();
    Reader r;
    IniDocument::Buffer bytes;
    const std::string path = readPath();
    // Nothing at or below the refused root is written, by a read either.
    auto mayWrite = [this](const std::string& dir) {
        return loc_.refusedRoot.empty() || !isAtOrBelow(dir, loc_.refusedRoot);
    };
    if (!path.empty() &&
        (path == loc_.writePath ? readOwnFile(*ops_, path, mayWrite, bytes) : readPresetFile(path, bytes)))
        r.doc_ = IniDocument::adopt(std::move(bytes));
    for (const IniEntry& e : pending) r.doc_.set(e.section, e.key, e.value);
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

void SettingsFile::saveInBackground(std::function<void()> refusalWaiting) {
    saver_ = std::make_unique<SettingsSaver>([this](const std::vector<IniEntry>& e) { return writeNow(e); },
                                             std::move(refusalWaiting));
}

WriteResult SettingsFile::write(const std::vector<IniEntry>& entries) const {
    if (!saver_) return writeNow(entries);
    saver_->save(entries);
    WriteResult queued;
    queued.queued = true;
    return queued;
}

namespace {

enum class Outcome { Done, Failed, Again };

// One attempt at a save into the folder `dirFd`. `Again` when another
// writer changed the file under our feet: the caller starts over.
class SaveAttempt {
public:
    SaveAttempt(FileOps& ops, int dirFd, std::string base, const std::vector<IniEntry>& entries,
                std::function<IniDocument::Buffer()> seed, int& budgetMs)
        : ops_(ops), dirFd_(dirFd), base_(std::move(base)), entries_(entries), seed_(std::move(seed)),
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
        for (const IniEntry& e : entries_) doc.set(e.section, e.key, e.value);
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
        for (const IniEntry& e : entries_) doc.set(e.section, e.key, e.value);
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
    const std::vector<IniEntry>& entries_;
    std::function<IniDocument::Buffer()> seed_;
    int& budgetMs_;
};

}  // namespace

WriteResult SettingsFile::writeNow(const std::vector<IniEntry>& entries) const {
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
        if (p.empty() || p == loc_.writePath || !readPresetFile(p, bytes)) bytes = IniDocument::Buffer();
        return bytes;
    };
    int budgetMs = kLockWaitMs;
    for (int attempt = 0; attempt < 20; ++attempt) {
        SaveAttempt save(*ops_, dirFd.get(), base, entries, seed, budgetMs);
        switch (save.run()) {
        case Outcome::Done: return {};
        case Outcome::Failed: return failed;
        case Outcome::Again: continue;
        }
    }
    return failed;
}

}  // namespace kob
