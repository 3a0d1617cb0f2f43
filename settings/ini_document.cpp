// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings file's text: parsing, the index of sections and keys, edits
// and streaming out. Plain C++ on every platform; the memory of a large
// text (IniDocument::Buffer's own memory) comes from the platform's file.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>

#include "settings/file_platform.h"
#include "settings/settings_file.h"

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
    const std::size_t slash = exePath.find_last_of("/\\");
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

    std::string_view eolWhenNone = "\n";  // for a text without line endings

    std::string_view eol() const {
        if (lf == 0 && crlf == 0 && cr == 0) return eolWhenNone;
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
    if (map_) fileplatform::freeMemory(map_, mapSize_);
    map_ = nullptr;
    mapSize_ = 0;
}

bool IniDocument::Buffer::resize(std::size_t n) {
    // A small text lives in the string; from a megabyte on, in memory of
    // its own.
    constexpr std::size_t kOwnMemoryFrom = 1u << 20;
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
    const std::size_t granule = fileplatform::memoryGranule();
    const std::size_t want = (n + granule - 1) / granule * granule;
    void* p = fileplatform::growMemory(map_, mapSize_, want);
    if (!p) return false;
    if (!map_) std::memcpy(p, small_.data(), std::min(size_, n));
    small_ = std::string();
    map_ = p;
    mapSize_ = want;
    data_ = static_cast<char*>(p);
    size_ = n;
    return true;
}

std::string_view IniDocument::original() const { return index_->text; }

void IniDocument::setLineEndingWhenNone(std::string_view eol) { index_->eolWhenNone = eol; }

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

}  // namespace kob
