// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the in-process benchmarks ask of the system: the window system's
// round trip, memory, CPU time and context switches. One implementation per
// platform (process_probe_linux.cpp, process_probe_win.cpp).
#pragma once

namespace benchprobe {

// Waits until the window system has taken everything drawn so far.
void syncDisplay();

// Memory of this process in kB; -1 where the system does not tell.
struct Memory {
    long rss = -1;   // resident
    long pss = -1;   // proportional share of the resident pages
    long heap = -1;  // malloc's bytes in use
};
Memory memory();
// Hands the heap's free memory back to the system, so figures compare.
void releaseFreeMemory();
// The most this process has had resident, in kB.
long peakKb();

// CPU time of this process, in milliseconds.
double cpuMs();
// Context switches of this process so far (NaN where not counted).
double contextSwitches();

}  // namespace benchprobe
