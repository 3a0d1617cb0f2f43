// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Where the start time of Kobaltfa goes: the program's own start, step by
// step, each step timed (ms since the process started).
//
//   bench_start_phases [--main-only] [--stay]
//
// --main-only builds the main window alone (what a start that leaves the
// other ten windows for later would cost); --stay keeps running after the
// first paint instead of printing and ending (for bench_start_watch).
#include <time.h>

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <fstream>
#include <sstream>

#include "app/kobaltfa_app.h"
#include "app/pulse_player.h"
#include "settings/settings_file.h"

namespace {

// ms since the process started (its start time from /proc/self/stat).
double sinceStart() {
    std::ifstream f("/proc/self/stat");
    std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::istringstream in(s.substr(s.rfind(')') + 2));
    std::string field;
    long long startTicks = 0;
    for (int i = 3; i <= 22 && in >> field; ++i)
        if (i == 22) startTicks = std::atoll(field.c_str());
    timespec ts;
    clock_gettime(CLOCK_BOOTTIME, &ts);
    const double now = double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
    return now - double(startTicks) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

double mono() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    bool mainOnly = false, stay = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--main-only") == 0) mainOnly = true;
        if (std::strcmp(argv[i], "--stay") == 0) stay = true;
    }
    const double t0 = mono();
    const double before = sinceStart();  // loading and linking (10 ms ticks)
    QApplication app(argc, argv);
    const double tApp = mono();
    kob::PulsePlayer player;
    const double tPlayer = mono();
    KobaltDeps deps;
    deps.settingsLocation =
        kob::SettingsLocation::portable(kob::iniPathForExecutable(QCoreApplication::applicationFilePath().toStdString()));
    deps.player = &player;
    std::unique_ptr<KobaltfaApp> all;
    std::unique_ptr<ProgramShell> shell;
    std::unique_ptr<TForm1> alone;
    TForm1* main = nullptr;
    if (mainOnly) {
        installApplicationWide();
        shell = std::make_unique<ProgramShell>(std::move(deps));
        alone = std::make_unique<TForm1>(*shell);
        main = alone.get();
    } else {
        all = std::make_unique<KobaltfaApp>(std::move(deps));
        main = all->Form1;
    }
    const double tWindows = mono();
    main->show();
    if (stay) return app.exec();
    const double tShow = mono();
    // The first paint happens in the first pass of the event loop.
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            const double tPainted = mono();
            std::printf("before_main_ms=%.1f qapplication_ms=%.2f player_ms=%.2f windows_ms=%.2f show_ms=%.2f "
                        "first_loop_ms=%.2f\n",
                        before, tApp - t0, tPlayer - tApp, tWindows - tPlayer, tShow - tWindows, tPainted - tShow);
            std::fflush(stdout);
            std::_Exit(0);  // no exit dialog, no settings written
        });
    });
    return app.exec();
}
