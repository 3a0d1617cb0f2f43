// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings file's dealings with the system on Windows.
//
// Reading takes the file as it is: the name opened without following a
// symbolic link or junction (one planted as the settings file reads as no
// file), shared for reading, writing and deletion so no other program is
// disturbed, and only a regular file below the size bound.
//
// A save is never torn and never half-done:
// - Writers of one file take turns on `<name>.lock` beside it, a hidden
//   file locked with LockFileEx. The lock is tried without waiting and
//   retried with a growing pause (a few to 200 ms) for about two seconds;
//   then the save is refused. Saves run off the window thread, so the
//   window keeps answering meanwhile.
// - The file is read afresh under the lock and edited; the new text goes
//   to a hidden temporary file in the same folder, is flushed to the disk
//   (FlushFileBuffers) and then published: ReplaceFileW over an existing
//   file (it keeps the file's security, attributes and streams), MoveFileExW
//   with MOVEFILE_WRITE_THROUGH for a new one (never over a file that
//   appeared meanwhile: the save then starts over on that file).
// - Refused, and the old file left whole: a read-only file, one that
//   another program holds open without sharing, a symbolic link or junction
//   as the settings file, a file with further hard links (a replacement
//   would split them), a file at or beyond the size bound, a full disk, and
//   anything in or below the refused folder (an installed copy's own).
// Temporaries of a killed writer are removed by the next save; one that
// another writer still has open cannot be deleted and stays.
// Lines new to an empty file end in CRLF; other lines keep their own.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "settings/file_platform.h"
#include "settings/settings_file.h"
#include "settings/wide_path.h"

namespace kob {

std::wstring toWide(const std::string& s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring w(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), w.data(), n);
    for (wchar_t& c : w)
        if (c == L'/') c = L'\\';
    return w;
}

std::string fromWide(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(std::size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

// ---------------------------------------------------------------- memory

namespace fileplatform {

std::size_t memoryGranule() { return 1u << 20; }

// Committed pages of their own; a larger block is a new one, the old bytes
// copied over.
void* growMemory(void* old, std::size_t oldSize, std::size_t size) {
    void* p = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (p && old) {
        std::memcpy(p, old, oldSize);
        VirtualFree(old, 0, MEM_RELEASE);
    }
    return p;
}

void freeMemory(void* p, std::size_t) { VirtualFree(p, 0, MEM_RELEASE); }

}  // namespace fileplatform

// ---------------------------------------------------------------- file

namespace {

class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    void reset(HANDLE h) {
        close();
        h_ = h;
    }
    HANDLE release() {
        const HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return h;
    }
    bool close() {
        const HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return h == INVALID_HANDLE_VALUE || h == nullptr || CloseHandle(h);
    }

private:
    HANDLE h_;
};

// How long a save waits for other writers in all.
constexpr int kLockWaitMs = 2000;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The name opened as itself: a link or junction is opened, not followed.
HANDLE openNoFollow(const std::wstring& path, DWORD access, DWORD share = kShareAll) {
    return CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// A plain file: no folder, no link or junction, no device.
bool plainFile(HANDLE h, BY_HANDLE_FILE_INFORMATION& info) {
    if (!GetFileInformationByHandle(h, &info)) return false;
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE))
        return false;
    return GetFileType(h) == FILE_TYPE_DISK;
}

std::uint64_t sizeOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return (std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

bool readAll(HANDLE h, const BY_HANDLE_FILE_INFORMATION& info, IniDocument::Buffer& out) {
    const std::uint64_t size = sizeOf(info);
    if (size >= SettingsFile::kMaxFileSize || !out.resize(std::size_t(size))) return false;
    std::size_t done = 0;
    while (done < out.size()) {
        DWORD got = 0;
        const DWORD want = DWORD(std::min<std::size_t>(out.size() - done, 1u << 30));
        if (!ReadFile(h, out.data() + done, want, &got, nullptr)) return false;
        if (got == 0) break;  // shorter than it said: take what is there
        done += got;
    }
    return out.resize(done);
}

bool writeAll(HANDLE h, const IniDocument& doc) {
    return doc.writeTo([h](std::string_view piece) {
        while (!piece.empty()) {
            DWORD put = 0;
            const DWORD n = DWORD(std::min<std::size_t>(piece.size(), 1u << 30));
            if (!WriteFile(h, piece.data(), n, &put, nullptr) || put == 0) return false;
            piece.remove_prefix(put);
        }
        return true;
    });
}

std::wstring folderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

// The folder as the system resolves it (links and junctions followed,
// case as on disk), or "" when it cannot be reached.
std::wstring finalFolder(const std::wstring& folder) {
    Handle h(CreateFileW(folder.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h.valid()) return {};
    wchar_t buf[32768];
    const DWORD n = GetFinalPathNameByHandleW(h.get(), buf, DWORD(std::size(buf)), FILE_NAME_NORMALIZED);
    if (n == 0 || n >= std::size(buf)) return {};
    return std::wstring(buf, n);
}

bool atOrBelow(const std::wstring& path, const std::wstring& root) {
    if (root.empty() || path.size() < root.size()) return false;
    if (CompareStringOrdinal(path.c_str(), int(root.size()), root.c_str(), int(root.size()), TRUE) != CSTR_EQUAL)
        return false;
    return path.size() == root.size() || path[root.size()] == L'\\' || root.back() == L'\\';
}

// Makes the missing folders of `folder`.
bool makeFolders(const std::wstring& folder) {
    const DWORD attrs = GetFileAttributesW(folder.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES) return attrs & FILE_ATTRIBUTE_DIRECTORY;
    const std::wstring parent = folderOf(folder);
    if (parent == folder || parent.empty() || parent.back() == L':') return false;
    if (!makeFolders(parent)) return false;
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// The lock beside the file: tried at once, then again after a growing
// pause, for about two seconds in all.
bool takeLock(const std::wstring& lockPath, Handle& lock) {
    lock.close();
    HANDLE h = CreateFileW(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    Handle held(h);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!plainFile(held.get(), info)) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLockWaitMs);
    auto pause = std::chrono::milliseconds(4);
    for (;;) {
        OVERLAPPED at{};
        if (LockFileEx(held.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) break;
        if (GetLastError() != ERROR_LOCK_VIOLATION && GetLastError() != ERROR_IO_PENDING) return false;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return false;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::milliseconds(200));
    }
    lock.reset(held.release());
    return true;
}

// Removes the temporaries of killed writers. A temporary still being
// written is open without delete sharing, so it cannot go.
void removeStaleTemporaries(const std::wstring& folder, const std::wstring& prefix) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"\\" + prefix + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
            DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// A new hidden temporary in the folder, opened for writing without any
// sharing (so no other writer removes it as stale while it is filled).
HANDLE createTemporary(const std::wstring& folder, const std::wstring& prefix, std::wstring& name) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t suffix[32];
        swprintf(suffix, 32, L"%08lx%04x", GetCurrentProcessId() ^ GetTickCount(), ++counter & 0xFFFF);
        name = folder + L"\\" + prefix + suffix;
        const HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
    }
    return INVALID_HANDLE_VALUE;
}

enum class Outcome { Done, Failed, Again };

}  // namespace

namespace fileplatform {

const std::string_view kNewFileLineEnding = "\r\n";

bool exists(const std::string& path, bool ownFile) {
    if (ownFile) return GetFileAttributesW(toWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    Handle h(CreateFileW(toWide(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return h.valid();
}

namespace {

bool readFile(const std::string& path, IniDocument::Buffer& out, bool followLinks) {
    out = IniDocument::Buffer();
    const std::wstring w = toWide(path);
    Handle h(followLinks ? CreateFileW(w.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr)
                         : openNoFollow(w, GENERIC_READ));
    BY_HANDLE_FILE_INFORMATION info{};
    return h.valid() && plainFile(h.get(), info) && readAll(h.get(), info, out);
}

}  // namespace

// A link or junction planted as the own file reads as no file.
bool readOwn(const SettingsLocation& loc, FileOps*, IniDocument::Buffer& out) {
    return readFile(loc.writePath, out, false);
}

bool readPreset(const std::string& path, IniDocument::Buffer& out) { return readFile(path, out, true); }

// Windows saves make the system's calls; `ops` is the POSIX writer's.
bool save(const SettingsLocation& loc, FileOps*, const std::function<void(IniDocument&)>& edit,
          const std::function<IniDocument::Buffer()>& seed) {
    const std::wstring path = toWide(loc.writePath);
    const std::size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash + 1 == path.size()) return false;
    const std::wstring folder = path.substr(0, slash);
    const std::wstring base = path.substr(slash + 1);
    if (loc.createFolders && !makeFolders(folder)) return false;
    if (!loc.refusedRoot.empty()) {
        const std::wstring real = finalFolder(folder);
        const std::wstring root = finalFolder(toWide(loc.refusedRoot));
        if (real.empty() || atOrBelow(real, root.empty() ? toWide(loc.refusedRoot) : root)) return false;
    }

    Handle lock;
    if (!takeLock(path + L".lock", lock)) return false;
    const std::wstring prefix = L"." + base + L".tmp";
    removeStaleTemporaries(folder, prefix);

    for (int attempt = 0; attempt < 20; ++attempt) {
        // The file as it is now: absent, or a plain file of one name that
        // may be written.
        IniDocument::Buffer bytes;
        bool exists = false;
        {
            Handle h(openNoFollow(path, GENERIC_READ));
            if (h.valid()) {
                BY_HANDLE_FILE_INFORMATION info{};
                if (!plainFile(h.get(), info) || (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ||
                    info.nNumberOfLinks > 1 || !readAll(h.get(), info, bytes))
                    return false;
                exists = true;
            } else if (GetLastError() != ERROR_FILE_NOT_FOUND ||
                       GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
                // A sharing violation, no access, a link that leads
                // nowhere, or a path that cannot be.
                return false;
            } else {
                bytes = seed();
            }
        }
        IniDocument doc = IniDocument::adopt(std::move(bytes));
        doc.setLineEndingWhenNone(kNewFileLineEnding);
        edit(doc);

        std::wstring tmp;
        Handle out(createTemporary(folder, prefix, tmp));
        if (!out.valid()) return false;
        const bool written = writeAll(out.get(), doc) && FlushFileBuffers(out.get());
        out.close();
        if (!written) {
            DeleteFileW(tmp.c_str());
            return false;
        }
        if (exists) {
            // Keeps the old file's security, attributes and other streams.
            if (ReplaceFileW(path.c_str(), tmp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                             nullptr))
                return true;
            const DWORD why = GetLastError();
            DeleteFileW(tmp.c_str());
            if (why == ERROR_FILE_NOT_FOUND) continue;  // removed meanwhile: create it
            return false;
        }
        if (MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
        const DWORD why = GetLastError();
        DeleteFileW(tmp.c_str());
        if (why != ERROR_ALREADY_EXISTS && why != ERROR_FILE_EXISTS) return false;
        // Another program made the file meanwhile: edit that one.
    }
    return false;
}

}  // namespace fileplatform

}  // namespace kob
