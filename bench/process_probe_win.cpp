// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The benchmarks' probes on Windows: GDI's flush, the process's working
// set and times. Windows counts no context switches per process.
#include <windows.h>
#include <psapi.h>

#include <malloc.h>

#include <cmath>

#include "bench/process_probe.h"

namespace benchprobe {

void syncDisplay() { GdiFlush(); }

Memory memory() {
    Memory r;
    PROCESS_MEMORY_COUNTERS c{};
    if (GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c)) r.rss = long(c.WorkingSetSize / 1024);
    return r;
}

void releaseFreeMemory() { _heapmin(); }

long peakKb() {
    PROCESS_MEMORY_COUNTERS c{};
    return GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c) ? long(c.PeakWorkingSetSize / 1024) : -1;
}

double cpuMs() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return NAN;
    auto ms = [](const FILETIME& f) { return double((ULONGLONG(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
}

double contextSwitches() { return NAN; }

}  // namespace benchprobe
