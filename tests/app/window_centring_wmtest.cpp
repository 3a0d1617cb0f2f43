// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Where the windows open on a real desktop: an X server with a window
// manager that frames every window (run by support/with_window_manager.sh).
// Every opening of every window, the first one included, is centred on the
// screen by its frame, title bar and borders included.
#include <QDialog>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include "app/about_form.h"
#include "app/main_window.h"
#include "measure/mertek_form.h"
#include "support/testkit.h"

using testkit::Harness;

namespace {

// The frame as the window manager has it now (the widget's own copy is only
// brought up to date when the window moves).
QRect frameOf(const QWidget* w) { return w->windowHandle() ? w->windowHandle()->frameGeometry() : w->geometry(); }

QString describe(const QWidget* w) {
    const QRect f = frameOf(w);
    const QRect c = w->geometry();
    return QStringLiteral("%1: frame %2,%3 %4x%5 around %6,%7 %8x%9, screen %10x%11")
        .arg(w->objectName())
        .arg(f.x()).arg(f.y()).arg(f.width()).arg(f.height())
        .arg(c.x()).arg(c.y()).arg(c.width()).arg(c.height())
        .arg(w->screen()->availableGeometry().width())
        .arg(w->screen()->availableGeometry().height());
}

// Framed by the window manager and centred by that frame (to the pixel:
// an odd difference cannot be split evenly).
bool centredByItsFrame(const QWidget* w) {
    const QRect f = frameOf(w);
    if (f == w->geometry()) return false;  // not framed (yet)
    const QRect screen = w->screen()->availableGeometry();
    const QPoint off = (f.topLeft() + f.bottomRight()) - (screen.topLeft() + screen.bottomRight());
    return std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1;
}

}  // namespace

class WindowCentringTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everyOpeningIsCentredByItsFrame();
    void theExitQuestionIsCentredByItsFrame();
};

void WindowCentringTest::initTestCase() {
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        QSKIP("needs an X server with a window manager (support/with_window_manager.sh)");
    // Wait for the window manager: a window mapped once it runs is framed.
    // (A window mapped before it took over may never tell its frame.)
    bool framed = false;
    for (int attempt = 0; attempt < 30 && !framed; ++attempt) {
        QWidget probe;
        probe.resize(100, 50);
        probe.show();
        for (int i = 0; i < 50 && !framed; ++i) {
            QTest::qWait(10);
            framed = probe.frameGeometry() != probe.geometry();
        }
    }
    QVERIFY2(framed, "no window manager frames the windows");
}

void WindowCentringTest::everyOpeningIsCentredByItsFrame() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    // The start: the main window is the very first window of the program.
    f->show();
    QTRY_VERIFY2(centredByItsFrame(f), qPrintable(describe(f)));

    // Each window the main menu opens, first and second time, and the
    // main window each time it comes back.
    const QList<QPair<QPushButton*, QWidget*>> routes = {
        {f->OsszeBtn, h.app->windows().at(1)}, {f->KivonBtn, h.app->windows().at(2)},
        {f->SzorozBtn, h.app->windows().at(3)}, {f->OsztBtn, h.app->windows().at(4)},
        {f->MertekBtn, h.app->MertekForm},      {f->AboutBtn, h.app->AboutForm},
    };
    h.script->assign(2 * 4 * 2, 0);  // two rounds of the four drill windows' opening questions
    for (int round = 0; round < 2; ++round) {
        for (const auto& [button, window] : routes) {
            button->click();
            QTRY_VERIFY2(window->isVisible() && centredByItsFrame(window), qPrintable(describe(window)));
            window->close();
            QTRY_VERIFY2(f->isVisible() && centredByItsFrame(f), qPrintable(describe(f)));
        }
    }

    // The conversion drills, opened from the chooser.
    TMertekForm* chooser = h.app->MertekForm;
    f->MertekBtn->click();
    const QList<QPair<QPushButton*, QWidget*>> drills = {
        {chooser->TeruletBtn, h.app->windows().at(7)}, {chooser->Hosszusag, h.app->windows().at(8)},
        {chooser->TerfogatBtn, h.app->windows().at(9)}, {chooser->TomegBtn, h.app->windows().at(10)},
    };
    for (const auto& [button, drill] : drills) {
        button->click();
        QTRY_VERIFY2(drill->isVisible() && centredByItsFrame(drill), qPrintable(describe(drill)));
        drill->close();
        QTRY_VERIFY2(chooser->isVisible() && centredByItsFrame(chooser), qPrintable(describe(chooser)));
    }
    chooser->close();
}

void WindowCentringTest::theExitQuestionIsCentredByItsFrame() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    QTRY_VERIFY(centredByItsFrame(f));
    // The main window away from the middle: the question still goes there.
    f->move(20, 30);
    QString placement;
    bool centred = false;
    testkit::onDialog([&](QDialog* d) {
        for (int i = 0; i < 500 && !centred; ++i) {
            centred = centredByItsFrame(d);
            if (!centred) QTest::qWait(10);
        }
        placement = describe(d);
        d->done(0);
    });
    TForm1::askExit(f);
    QVERIFY2(centred, qPrintable(placement));
}

QTEST_MAIN(WindowCentringTest)
#include "window_centring_wmtest.moc"
