// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/settings_file.h"

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

// How long a save waits for another writer's lock (a read a quarter of it).
constexpr int kLockWaitMs = 2000;

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
