// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Starts a program under the current X display and times it from the fork
// to its first top-level window being mapped and painted (the window's
// pixels are polled about every millisecond until they are no longer all
// the same colour). Then, optionally, measures its memory and its idle CPU,
// and kills it with its whole process group.
//
//   bench_start_watch [--settle MS] [--idle S] [--timeout S] -- program args...
//
// Prints one line of key=value pairs:
//   start_ms   fork to painted
//   cpu_ms     CPU time the program had used by then (all its threads)
//   rss_kb, pss_kb   from /proc/<pid>/smaps_rollup, --settle ms after painted
//   hwm_kb     the peak resident size so far (VmHWM), at the same moment
//   idle_cpu_pct, idle_wakeups_per_s   over --idle seconds (when asked for)
// and exits with 1 (printing error=...) when the window never shows.
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

double nowMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

void sleepMs(double ms) {
    timespec ts{time_t(ms / 1000), long((ms - double(time_t(ms / 1000)) * 1000) * 1e6)};
    while (nanosleep(&ts, &ts) < 0 && errno == EINTR) {
    }
}

// Rss and Pss in kB.
bool readRollup(pid_t pid, long& rss, long& pss) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/smaps_rollup");
    if (!f) return false;
    std::string key;
    long value;
    std::string unit;
    rss = pss = -1;
    std::string line;
    while (std::getline(f, line)) {
        std::istringstream in(line);
        if (!(in >> key >> value)) continue;
        if (key == "Rss:") rss = value;
        if (key == "Pss:") pss = value;
    }
    return rss >= 0 && pss >= 0;
}

// The peak resident size (VmHWM) in kB, or -1.
long peakKb(pid_t pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// utime + stime of the whole process, in clock ticks.
long long cpuTicks(pid_t pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    const auto close = s.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream in(s.substr(close + 2));
    std::string field;
    long long utime = 0, stime = 0;
    // After the command: state is field 3; utime and stime are fields 14 and 15.
    for (int i = 3; i <= 15 && in >> field; ++i) {
        if (i == 14) utime = std::atoll(field.c_str());
        if (i == 15) stime = std::atoll(field.c_str());
    }
    return utime + stime;
}

// Context switches of every thread: each one is a wake-up of some thread.
long long contextSwitches(pid_t pid) {
    long long total = 0;
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    DIR* d = opendir(dir.c_str());
    if (!d) return -1;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        std::ifstream f(dir + "/" + e->d_name + "/status");
        std::string line;
        while (std::getline(f, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0 || line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
                total += std::atoll(line.substr(line.find(':') + 1).c_str());
        }
    }
    closedir(d);
    return total;
}

// CPU time of every thread so far, in ms (the scheduler's own count).
double cpuMs(pid_t pid) {
    double total = 0;
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    DIR* d = opendir(dir.c_str());
    if (!d) return -1;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        std::ifstream f(dir + "/" + e->d_name + "/schedstat");
        double ns = 0;
        if (f >> ns) total += ns / 1e6;
    }
    closedir(d);
    return total;
}

struct Candidate {
    xcb_window_t id;
    uint16_t w = 0, h = 0;
};

// True when the window's pixels are not all equal. Unknown (false) while the
// window cannot be read.
bool painted(xcb_connection_t* c, Candidate& win) {
    if (win.w == 0) {
        xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, win.id), nullptr);
        if (!g) return false;
        win.w = g->width;
        win.h = g->height;
        free(g);
    }
    xcb_get_image_reply_t* img = xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, win.id, 0, 0, win.w, win.h, ~0u), nullptr);
    if (!img) return false;
    const int len = xcb_get_image_data_length(img);
    const uint8_t* data = xcb_get_image_data(img);
    bool varied = false;
    if (len >= 8) {
        uint32_t first;
        std::memcpy(&first, data, 4);
        for (int i = 4; i + 4 <= len; i += 4) {
            uint32_t px;
            std::memcpy(&px, data + i, 4);
            if ((px ^ first) & 0x00ffffffu) {
                varied = true;
                break;
            }
        }
    }
    free(img);
    return varied;
}

void killGroup(pid_t pid) {
    kill(-pid, SIGKILL);
    kill(pid, SIGKILL);
    int status;
    waitpid(pid, &status, 0);
}

}  // namespace

int main(int argc, char** argv) {
    double settleMs = 300, idleS = 0, timeoutS = 30;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (i + 1 >= argc) break;
        if (a == "--settle") settleMs = std::atof(argv[++i]);
        else if (a == "--idle") idleS = std::atof(argv[++i]);
        else if (a == "--timeout") timeoutS = std::atof(argv[++i]);
        else break;
    }
    if (i >= argc) {
        std::fprintf(stderr, "usage: %s [--settle MS] [--idle S] [--timeout S] -- program args...\n", argv[0]);
        return 2;
    }

    int screenNo = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNo);
    if (xcb_connection_has_error(c)) {
        std::printf("error=no-display\n");
        return 1;
    }
    const xcb_setup_t* setup = xcb_get_setup(c);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
    for (int s = 0; s < screenNo; ++s) xcb_screen_next(&it);
    const xcb_window_t root = it.data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

    const double t0 = nowMs();
    const pid_t pid = fork();
    if (pid < 0) {
        std::printf("error=fork\n");
        return 1;
    }
    if (pid == 0) {
        setpgid(0, 0);
        execvp(argv[i], argv + i);
        _exit(127);
    }
    setpgid(pid, pid);

    std::vector<Candidate> mapped;
    double t1 = -1;
    while (t1 < 0) {
        while (xcb_generic_event_t* ev = xcb_poll_for_event(c)) {
            if ((ev->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                auto* m = reinterpret_cast<xcb_map_notify_event_t*>(ev);
                if (m->event == root && !m->override_redirect) mapped.push_back({m->window});
            }
            free(ev);
        }
        for (Candidate& w : mapped) {
            if (painted(c, w) && w.w >= 50 && w.h >= 50) {
                t1 = nowMs();
                break;
            }
        }
        if (t1 >= 0) break;
        int status;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::printf("error=exited status=%d\n", status);
            return 1;
        }
        if (nowMs() - t0 > timeoutS * 1000) {
            killGroup(pid);
            std::printf("error=timeout\n");
            return 1;
        }
        if (xcb_connection_has_error(c)) {
            killGroup(pid);
            std::printf("error=display-lost\n");
            return 1;
        }
        sleepMs(1);
    }

    std::string out = "start_ms=" + std::to_string(t1 - t0) + " cpu_ms=" + std::to_string(cpuMs(pid));
    sleepMs(settleMs);
    long rss = -1, pss = -1;
    if (readRollup(pid, rss, pss)) out += " rss_kb=" + std::to_string(rss) + " pss_kb=" + std::to_string(pss);
    if (const long hwm = peakKb(pid); hwm >= 0) out += " hwm_kb=" + std::to_string(hwm);

    if (idleS > 0) {
        sleepMs(1000);  // let the start-up work die down
        const long long cpu0 = cpuTicks(pid), sw0 = contextSwitches(pid);
        const double a = nowMs();
        sleepMs(idleS * 1000);
        const long long cpu1 = cpuTicks(pid), sw1 = contextSwitches(pid);
        const double secs = (nowMs() - a) / 1000;
        const double hz = double(sysconf(_SC_CLK_TCK));
        char buf[128];
        std::snprintf(buf, sizeof buf, " idle_cpu_pct=%.3f idle_wakeups_per_s=%.1f",
                      double(cpu1 - cpu0) / hz / secs * 100, double(sw1 - sw0) / secs);
        out += buf;
    }
    killGroup(pid);
    xcb_disconnect(c);
    std::printf("%s\n", out.c_str());
    return 0;
}
