#include <QApplication>

#include "app/kobaltfa_app.h"
#include "app/pulse_player.h"
#include "app/settings_file.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    kob::PulsePlayer player;
    KobaltDeps deps;
    deps.settingsPath = kob::iniPathForExecutable(QCoreApplication::applicationFilePath().toStdString());
    deps.player = &player;

    KobaltfaApp windows(std::move(deps));
    QObject::connect(windows.Form1, &TForm1::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    windows.Form1->show();
    return app.exec();
}
