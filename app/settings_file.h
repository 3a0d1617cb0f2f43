// The settings file beside the executable: a private-profile ("ini") text
// file. Plain C++, no toolkit.
//
// Reading: section and key names match without regard to case; the first
// occurrence of a duplicated section or key counts; values are trimmed of
// surrounding blanks and one pair of enclosing quotes is dropped; strings
// are cut at 2047 characters; integers are decimal, "$" hex, or "0x"/"0X"
// hex in values longer than two characters; anything else is the default.
//
// Lines end in LF or CRLF; a UTF-8 byte order mark at the start is skipped
// for matching and kept. A line whose first non-blank character is "[" is a
// section header only when a "]" follows on the same line; otherwise it is
// an ordinary line that matches nothing (and does not end the section).
// Lines starting with ";" are comments. Integers may carry a sign in decimal
// only; hex takes up to eight digits (the 32-bit pattern, so "$FFFFFFFF" is
// -1); decimal beyond the 32-bit range is no integer.
//
// Writing: a whole batch of keys lands at once. The file is locked, read
// afresh, changed in memory (a present key replaced in place, a new key at
// the end of its section, a new section at the end of the file, every other
// byte kept), written to a temporary file beside it, flushed and renamed
// over the old one. A crash at any moment leaves the old or the new file.
// New lines take the file's dominant line ending (LF for a new file). A new
// key goes right after the last non-blank line of its section, so blank
// lines that close the section stay after it. Line breaks inside a written
// section, key or value are dropped: they would split the line.
//
// Concurrent writers (other copies of the program) are serialised by an
// advisory lock (flock) on the folder that holds the file, so no lock file
// is left beside it. Temporary files of a writer that was killed mid-write
// are removed by the next writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kob {

// The executable's path with its extension replaced by ".ini" (appended when
// the file name has none).
std::string iniPathForExecutable(const std::string& exePath);

// Integer reading of a private-profile value; `def` when it is no integer.
int parseProfileInt(std::string_view value, int def);

// The file's text as lines, kept byte for byte, with the lookups and edits
// that reading and writing need.
class IniDocument {
public:
    static IniDocument parse(std::string_view bytes);

    // The raw value (trimmed, enclosing quotes dropped, cut at 2047 chars)
    // of the first matching key of the first matching section.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Replace in place or add (end of section / new section at the end).
    void set(std::string_view section, std::string_view key, std::string_view value);

    std::string serialize() const;

private:
    struct Line {
        std::string text;  // without its line ending
        std::string eol;   // "\r\n", "\n"; for the last line also "\r" or ""
    };
    std::vector<Line> lines_;
    std::string bom_;
    friend struct IniDocumentAccess;
};

// What a write did.
struct WriteResult {
    bool ok = true;
    std::string message;  // "Unable to write to <path>" when !ok
};

// One value to write.
struct IniEntry {
    std::string section;
    std::string key;
    std::string value;
};

class SettingsFile {
public:
    explicit SettingsFile(std::string path);

    const std::string& path() const { return path_; }

    // A snapshot of the file taken at once and released before returning:
    // a missing or unreadable file reads as empty.
    class Reader {
    public:
        std::string readString(std::string_view section, std::string_view key,
                               std::string_view def) const;
        int readInt(std::string_view section, std::string_view key, int def) const;
        bool readBool(std::string_view section, std::string_view key, bool def) const;

    private:
        friend class SettingsFile;
        IniDocument doc_;
    };
    Reader read() const;

    // Writes every entry, in order, in one atomic replacement of the file.
    // Nothing is changed on disk when it fails.
    WriteResult write(const std::vector<IniEntry>& entries) const;

private:
    std::string path_;
};

// Test seam: faults injected into SettingsFile::write. Global to the process;
// set it back to the default when done.
struct WriteFaults {
    std::size_t failAfterBytes = SIZE_MAX;  // data writes stop here with ENOSPC
    bool failSync = false;                  // fsync of the temporary file fails
    bool failRename = false;                // the final rename is refused
};
void setWriteFaultsForTesting(const WriteFaults& faults);

}  // namespace kob
