// Renders every window in every skin to PNG files: make screenshots.
#include <QApplication>
#include <QDir>
#include <QTimer>

#include "app/skin_manager.h"
#include "support/testkit.h"

int main(int argc, char** argv) {
    QApplication a(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(out);
    testkit::Harness h;
    h.start();
    const QStringList files = {"aluminium", "smoky", "beijing", "vista", "web", "elegant"};
    const QStringList skins = SkinManager::builtInNames();
    for (int s = 0; s < skins.size(); ++s) {
        h.app->Form1->SkinMen()->setSkinName(skins[s]);
        for (KobaltWindow* w : h.app->windows()) {
            w->show();
            QApplication::processEvents();
            w->grab().save(QStringLiteral("%1/%2-%3.png").arg(out, files[s], w->objectName()));
            w->hide();
        }
    }
    return 0;
}
