// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings file: a private-profile ("ini") text file. Plain C++, no
// toolkit.
//
// Reading: section and key names match without regard to case; the first
// occurrence of a duplicated section or key counts; values are trimmed of
// surrounding blanks and one pair of enclosing quotes is dropped; strings
// are cut at 2047 characters; integers are decimal, "$" hex, or "0x"/"0X"
// hex in values longer than two characters; anything else is the default.
//
// Lines end in LF, CRLF or a lone CR, mixed as they come; a UTF-8 byte order
// mark at the start is skipped for matching and kept. A line whose first
// non-blank character is "[" is a section header only when a "]" follows on
// the same line; otherwise it is an ordinary line that matches nothing (and
// does not end the section). Lines starting with ";" are comments. Integers
// may carry a sign in decimal only; hex takes up to eight digits (the 32-bit
// pattern, so "$FFFFFFFF" is -1); decimal beyond the 32-bit range is no
// integer. Values are bytes: whatever is not UTF-8 is passed on unchanged.
//
// The text is held once, as the file's bytes; the section headers are
// indexed when the text is parsed, and the keys of a section when it is
// first looked into, so no lookup rescans the file. Edits are kept beside
// the bytes and applied while the text is streamed out.
//
// Writing: a whole batch of keys lands at once. The save lock is taken, the
// file read afresh, changed (a present key replaced in place, a new key at
// the end of its section, a new section at the end of the file, every other
// byte kept), and then either replaced or rewritten in place:
// - replaced (the usual way): the new text goes to a temporary file beside
//   it, which takes the old file's owner, group and mode, is flushed and
//   renamed over the old one. A crash at any moment leaves the old or the
//   new file.
// - rewritten in place, when a replacement could not keep the old file's
//   owner, group and mode (a file of another user in a shared folder, one
//   whose group the writer is not in), when the file has further hard links
//   and is the saving user's own (so that every name sees the save; another
//   user's such file is refused), or when the folder refuses new files but
//   the file itself is writable. The whole new text first goes to a journal
//   beside the file (`.<name>.journal`, carrying the file's identity, the
//   text's length and a checksum), which is flushed; then the file is
//   lengthened (so a full disk refuses before any old byte is overwritten),
//   overwritten, cut to the new length and flushed, and the journal removed.
//   A failing write puts the old bytes back. A read or save that finds a
//   complete journal finishes the rewrite first (a reader that cannot save
//   reads the journal's text); an incomplete one is discarded. In a folder
//   that takes no new files there is no room for a journal: there the
//   rewrite goes without one.
// New lines take the file's dominant line ending (LF for a new file). A new
// key goes right after the last non-blank line of its section, so blank
// lines that close the section stay after it. Line breaks inside a written
// section, key or value are dropped: they would split the line.
//
// Links: the file may be a symbolic link to a regular file in the same
// folder that belongs, as the link does, to the user who saves; the target
// is then read and written and the link stays. Any other link (to another
// folder, to a file of another user, planted by another user, dangling) is
// refused by a save and read as no file at all (the defaults).
//
// Size: a file larger than kMaxFileSize is neither read (the defaults) nor
// written, and no save makes a file larger.
//
// Saves of other copies of the program, other users or other machines on a
// network folder take turns through a record lock (fcntl, which network
// file systems honour too; a lock of the open file, so the threads of one
// process take turns as well) on a lock file beside the settings file
// (`.<name>.lock`). Only those who may write the settings file take part
// (a save first checks that it may), and only they can open it: it
// is made with the settings file's owner and group where the system allows
// and without permissions for "other", and in a set-group-id folder it
// takes the folder's group. Its holder removes it at the end of the save;
// a saver that then gets the lock of the removed file reopens the name,
// sees another file (or none) and starts over. Where the folder takes no
// new files and there is no lock file, the saver locks the settings file
// itself, and savers holding the lock file wait for such a lock too. A held
// lock is tried again after a few milliseconds, then after twice as long
// each time, up to 200 ms, about two seconds in all; then the save is
// refused and nothing is changed. Readers never wait for a lock: while a
// journal is complete they read its text (or, when they may save and the
// lock is free at once, finish the rewrite first), and they read the file
// again when it changed while they read it.
//
// New files (the settings file, its lock file) made in a folder that is
// set-group-id and group-writable (a class folder) are group-writable like
// the folder, whatever the umask. A file that does not exist yet is
// published only if it still does not exist (otherwise the write starts
// over on the file that appeared). A temporary file is locked by its writer
// while it is written; a save removes the temporaries nobody holds that are
// its own user's, or another user's that are older than a minute.
//
// The writes, syncs, truncations, renames and links of a save, and its
// pauses while a lock is held, go through the FileOps object the
// SettingsFile was built with: the system's calls unless a test gives its
// own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>


namespace kob {

class FileOps;

// The executable's path with its extension replaced by ".ini" (appended when
// the file name has none).
std::string iniPathForExecutable(const std::string& exePath);

// Integer reading of a private-profile value; `def` when it is no integer.
int parseProfileInt(std::string_view value, int def);

// The file's text, kept byte for byte, with the lookups and edits that
// reading and writing need.
class IniDocument {
public:
    IniDocument();
    ~IniDocument();
    IniDocument(IniDocument&&) noexcept;
    IniDocument& operator=(IniDocument&&) noexcept;

    // At most 4 GiB - 1 bytes (kMaxFileSize); a longer text is cut there.
    static IniDocument parse(std::string_view bytes);
    // The same, taking over the bytes without a copy.
    static IniDocument adopt(std::string&& bytes);
    static constexpr std::size_t kMaxFileSize = 0xFFFFFFFFu;

    // The raw value (trimmed, enclosing quotes dropped, cut at 2047 chars)
    // of the first matching key of the first matching section, edits
    // included.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Replace in place or add (end of section / new section at the end).
    void set(std::string_view section, std::string_view key, std::string_view value);

    // The text with the edits: whole, or streamed in pieces to `out`, which
    // returns false to stop (then writeTo returns false).
    std::string serialize() const;
    bool writeTo(const std::function<bool(std::string_view)>& out) const;
    std::size_t serializedSize() const;
    // The text as parsed, without the edits.
    std::string_view original() const;
    // The ending of new lines in a text that has no line ending yet (LF
    // unless told otherwise); `eol` must be a literal.
    void setLineEndingWhenNone(std::string_view eol);

    // The same, taking over a text already held in a Buffer.
    class Buffer;
    static IniDocument adopt(Buffer&& bytes);

private:
    struct Index;
    std::unique_ptr<Index> index_;  // holds the bytes too
};

// The bytes of a file: a large one in memory of its own (huge pages where
// the system has them, so the first touch of a hundred megabytes costs a
// few hundred faults, not tens of thousands).
class IniDocument::Buffer {
public:
    Buffer() = default;
    explicit Buffer(std::string&& s);
    ~Buffer();
    Buffer(Buffer&& o) noexcept;
    Buffer& operator=(Buffer&& o) noexcept;
    // Room for n bytes (contents undefined); false when there is none.
    bool resize(std::size_t n);
    char* data() { return data_; }
    std::size_t size() const { return size_; }
    std::string_view view() const { return {data_, size_}; }

private:
    void release();
    std::string small_;
    char* data_ = nullptr;
    std::size_t size_ = 0;
    void* map_ = nullptr;
    std::size_t mapSize_ = 0;
};

// What a write did.
struct WriteResult {
    bool ok = true;
    std::string message;  // "Unable to write to <path>" when !ok
    bool queued = false;  // handed to the background saver, not yet written
};

// One value to write.
struct IniEntry {
    std::string section;
    std::string key;
    std::string value;
};

// Where a copy of the program keeps its settings.
//
// A portable copy (not installed: a build folder, an unpacked copy, a USB
// stick) reads and writes the file beside the executable. An installed copy
// (one whose install step left the marker `<bindir>/<to datadir>/kobaltfa/
// installed`) writes the user's own file `$XDG_CONFIG_HOME/kobaltfa/
// kobaltfa.ini` (default `~/.config/kobaltfa/kobaltfa.ini`) and reads it when
// it exists, otherwise the first `kobaltfa/kobaltfa.ini` of
// `$XDG_CONFIG_DIRS` (default `/etc/xdg`), an administrator's preset, and
// otherwise nothing (the defaults). Its first save copies the file it read
// and edits the copy. It never writes at or below its install prefix (the
// folder above the executable's folder), not even as root.
//
// On Windows an installed copy (the marker `kobaltfa.installed` beside the
// executable) writes `%APPDATA%\Kobaltfa\kobaltfa.ini`, reads it when it
// exists and otherwise the administrator's preset
// `%PROGRAMDATA%\Kobaltfa\kobaltfa.ini`, and never writes in the
// executable's folder.
struct SettingsEnvironment {
    std::string home;           // HOME
    std::string xdgConfigHome;  // XDG_CONFIG_HOME
    std::string xdgConfigDirs;  // XDG_CONFIG_DIRS
    std::string appData = {};        // APPDATA (Windows)
    std::string programData = {};    // PROGRAMDATA (Windows)
};

struct SettingsLocation {
    std::string writePath;               // where saves go
    std::vector<std::string> readPaths;  // reads take the first that exists
    std::string refusedRoot;             // nothing at or below it is written ("" for none)
    bool createFolders = false;          // missing folders of writePath are made (mode 0700)
    bool installed = false;

    // The portable copy's location: one file, read and written.
    static SettingsLocation portable(const std::string& path);
};

// True when the executable at `exePath` is an installed copy: the install
// marker lies at `<folder of exePath>/<binToData>/kobaltfa/installed`.
bool isInstalledExecutable(const std::string& exePath, const std::string& binToData);
// The same with the relative path from bindir to datadir of this build.
bool isInstalledExecutable(const std::string& exePath);

// Where the copy at `exePath` keeps its settings, for the given environment
// values. Empty or relative XDG values are ignored, as the XDG base
// directory rules say; so is an empty or relative HOME.
SettingsLocation settingsLocation(const std::string& exePath, const SettingsEnvironment& env);
SettingsLocation settingsLocation(const std::string& exePath, const SettingsEnvironment& env, bool installed);

// The values of this process: HOME (or the password database's home folder
// when HOME is empty or relative), XDG_CONFIG_HOME, XDG_CONFIG_DIRS.
SettingsEnvironment settingsEnvironmentFromProcess();


class SettingsSaver;

class SettingsFile {
public:
    // A file larger than this is neither read nor written.
    static constexpr std::uint64_t kMaxFileSize = std::uint64_t(1) << 30;

    explicit SettingsFile(std::string path);
    explicit SettingsFile(SettingsLocation location);
    // The same, with every save's writes going through `ops` (POSIX:
    // settings/file_ops.h), which must outlive the SettingsFile.
    SettingsFile(std::string path, FileOps& ops);
    SettingsFile(SettingsLocation location, FileOps& ops);
    ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    // The file saves go to (and what "Unable to write to" names).
    const std::string& path() const { return loc_.writePath; }
    const SettingsLocation& location() const { return loc_; }
    // The file a read takes now: the first of the read paths that exists,
    // or "" for none.
    std::string readPath() const;

    // A snapshot of the file taken at once, without waiting for any lock:
    // a missing, unreadable or refused file reads as empty.
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

    // Writes every entry, in order, in one replacement (or one rewrite in
    // place) of the file. Nothing is changed on disk when it fails. Once
    // saveInBackground() was called, the entries are queued instead and the
    // result says so.
    WriteResult write(const std::vector<IniEntry>& entries) const;
    // The same, always at once.
    WriteResult writeNow(const std::vector<IniEntry>& entries) const;

    // From now on write() hands its entries to a SettingsSaver of this file,
    // which writes them in order on a thread of its own, and returns at once;
    // read() lays the entries not yet written over the file, so a value just
    // saved reads back at once. `refusalWaiting` is called on the saver's
    // thread when a refused save waits to be taken (SettingsSaver).
    void saveInBackground(std::function<void()> refusalWaiting);
    // The background saver, or null.
    SettingsSaver* saver() const { return saver_.get(); }

private:
    SettingsLocation loc_;
    FileOps* ops_ = nullptr;  // null: the system's calls
    std::unique_ptr<SettingsSaver> saver_;  // last: its thread uses the rest
};

}  // namespace kob
