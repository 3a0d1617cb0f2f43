// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Renders every window in every skin to PNG files: make screenshots.
// Usage: kobaltfa_screenshots [folder [skin,...]]; the skins by the names of
// their pictures (aluminium, smoky, beijing, vista, web, elegant), every skin
// of the table by default.
// Under QT_SCALE_FACTOR=2 the pictures have twice the pixels.
#include <QApplication>
#include <QDir>
#include <QTimer>

#include "app/skin_manager.h"
#include "app/skin_table.h"
#include "arith/arith_window.h"
#include "drill/answer_log.h"
#include "drill/drill_controls.h"
#include "measure/conversion_window.h"
#include "support/testkit.h"

int main(int argc, char** argv) {
    QApplication a(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(out);
    testkit::Harness h;
    // Each showing of a drill window (four in each skin) asks its opening
    // question: two zeros each, so the pictures show 0+1, 1-1, 1*2 and 2:2.
    h.script->assign(skins::table().size() * 4 * 2, 0);
    h.start();
    QStringList files, skins;
    for (const SkinRow& row : skins::table()) {
        files << QString::fromLatin1(row.glyphs).remove(QStringLiteral("skin-"));
        skins << QString::fromLatin1(row.name);
    }
    const QStringList only = argc > 2 ? QString::fromLocal8Bit(argv[2]).split(',') : files;
    for (int s = 0; s < skins.size(); ++s) {
        if (!only.contains(files[s])) continue;
        h.app->Form1->SkinMen()->setSkinName(skins[s]);
        for (KobaltWindow* w : h.app->windows()) {
            // The drill clocks stand still while the pictures are taken, so
            // that every run draws the same gauges whatever the machine's pace.
            const auto drill = [w]() -> kobui::DrillControls* {
                if (auto* a = qobject_cast<ArithWindow*>(w)) return a->controls();
                if (auto* c = qobject_cast<ConversionWindow*>(w)) return c->controls();
                return nullptr;
            };
            if (drill()) drill()->ElteltIdo->stop();
            w->show();
            if (drill()) drill()->ElteltIdo->stop();
            QApplication::processEvents();
            // A few answers in the log, as after a short while of practice.
            kobui::AnswerLog* log = drill() ? drill()->Memo : nullptr;
            if (log) {
                log->clear();
                for (int i = 0; i < 12; ++i)
                    log->appendLine(QStringLiteral("%1 + %2 = %3").arg(i + 3).arg(2 * i).arg(3 * i + 3 - i % 3),
                                    i % 3 ? 0x008000 : 0xFF0000);
                QApplication::processEvents();
            }
            w->grab().save(QStringLiteral("%1/%2-%3.png").arg(out, files[s], w->objectName()));
            w->hide();
        }
    }
    return 0;
}
