// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Another program holding a settings file's writers' lock: takes the lock
// on the file named (`kobaltfa.ini.lock`) as the program's writers take
// it, says "held", and keeps it until it is killed.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_HIDDEN, nullptr);
    OVERLAPPED at{};
    if (file == INVALID_HANDLE_VALUE || !LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) return 1;
    std::puts("held");
    std::fflush(stdout);
    Sleep(INFINITE);
}
