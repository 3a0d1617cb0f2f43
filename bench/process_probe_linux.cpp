// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The benchmarks' probes on Linux: the X server's round trip, /proc and
// malloc's statistics, getrusage.
#include <malloc.h>
#include <sys/resource.h>
#include <time.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "bench/process_probe.h"

namespace benchprobe {

void syncDisplay() {
    if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>()) {
        xcb_connection_t* c = x11->connection();
        free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    }
}

Memory memory() {
    Memory r;
    r.heap = long(mallinfo2().uordblks / 1024);
    std::ifstream f("/proc/self/smaps_rollup");
    std::string line, key;
    long v;
    while (std::getline(f, line)) {
        std::istringstream in(line);
        if (!(in >> key >> v)) continue;
        if (key == "Rss:") r.rss = v;
        if (key == "Pss:") r.pss = v;
    }
    return r;
}

void releaseFreeMemory() { malloc_trim(0); }

long peakKb() {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

double cpuMs() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double contextSwitches() {
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_nvcsw + u.ru_nivcsw);
}

}  // namespace benchprobe
