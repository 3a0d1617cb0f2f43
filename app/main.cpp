// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QApplication>

#include "app/kobaltfa_app.h"
#include "app/cue_player.h"
#include "settings/settings_file.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    const auto player = kob::makeSystemCuePlayer();
    KobaltDeps deps;
    // Beside the executable for a portable copy, per user for an installed
    // one; the environment is read for this and nothing else.
    deps.settingsLocation = kob::settingsLocation(QCoreApplication::applicationFilePath().toStdString(),
                                                  kob::settingsEnvironmentFromProcess());
    deps.player = player.get();

    KobaltfaApp windows(std::move(deps));
    QObject::connect(windows.Form1, &TForm1::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    windows.Form1->show();
    const int status = app.exec();
    // The main window is gone; its save (and any still under way) ends
    // behind it, and a refusal still shows its message.
    windows.shell()->finishSaves();
    return status;
}
