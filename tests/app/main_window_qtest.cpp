// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program shell: start, skins, the menu, leaving through the dialog.
#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "kit/back_window.h"
#include "app/main_window.h"
#include "app/skin_manager.h"
#include "app/skin_table.h"
#include "measure/conversion_windows.h"
#include "measure/mertek_form.h"
#include "support/testkit.h"

using testkit::Harness;
using testkit::onDialog;

namespace {

// A key as the keyboard gives it: to the focused control of the dialog.
void press(QDialog* d, QKeyCombination key) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target && target->window() == d ? target : d, key.key(), key.keyboardModifiers());
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithStoredSkinAndSaysHelloAfterIt();
    void startsInAluminiumWithoutFileAndCreatesItAtExit();
    void unknownSkinIsKeptAndWrittenBack();
    void laysOutTheSevenButtons();
    void menuButtonsOpenTheirWindowsAndClosingComesBack();
    void exitRefusedWritesNothing();
    void exitDialogAnswers_data();
    void exitDialogAnswers();
    void exitDialogIsCentredOnTheScreen();
    void refusedWriteIsReportedAndTheProgramStillEnds();
    void rightClickOpensSkinMenuAndShortcutsWorkEverywhere();
    void skinChosenInAChildWindowSurvivesARestart();
    void leftClickOnMainBackgroundPlaysNothing();
    void mainWindowHasTheOldSansSerifFont();
    void aBackgroundClickIsAPressAndItsRelease();
    void aMaximiseAskedByTheFrameKeepsTheFixedSize();
};

void MainWindowTest::startsWithStoredSkinAndSaysHelloAfterIt() {
    Harness h("[Skin]\r\nSkinName=Smoky (internal)\r\n");
    h.start();
    QCOMPARE(h.app->Form1->SkinMen()->skinName(), QStringLiteral("Smoky (internal)"));
    QCOMPARE(h.player.cues, QStringList{QStringLiteral("Hello")});
    // All eleven windows exist, in order, and only the main window is shown
    // once the program shows it.
    const QStringList names = {"Form1", "OsszeadForm", "KivonForm", "SzorzasForm", "OsztasForm", "MertekForm",
                               "AboutForm", "TeruletForm", "HosszuForm", "TerfogatForm", "TomegForm"};
    QStringList got;
    for (KobaltWindow* w : h.app->windows()) {
        got << w->objectName();
        QVERIFY(!w->isVisible());
        QVERIFY(w->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(w->windowFlags() & Qt::WindowMinMaxButtonsHint));
    }
    QCOMPARE(got, names);
    QCOMPARE(h.app->Form1->windowTitle(), QStringLiteral("Kobaltfa"));
}

void MainWindowTest::startsInAluminiumWithoutFileAndCreatesItAtExit() {
    Harness h;
    h.start();
    QCOMPARE(h.app->Form1->SkinMen()->skinName(), QStringLiteral("Aluminium (internal)"));
    QVERIFY(h.readIni().empty());
    QSignalSpy ended(h.app->Form1, &TForm1::programEnded);
    h.app->Form1->show();
    h.app->Form1->KilepBtn->click();
    QCOMPARE(h.exitAsked, 1);
    QCOMPARE(ended.count(), 1);
    QVERIFY(!h.app->Form1->isVisible());
    QCOMPARE(h.readIni(), testkit::newFileText("[Skin]\nSkinName=Aluminium (internal)\n"));
    QCOMPARE(h.player.cues.last(), QStringLiteral("YoullRegretThat"));
}

void MainWindowTest::unknownSkinIsKeptAndWrittenBack() {
    Harness h("; my notes\n[Skin]\nSkinName=Pirate (custom)\n[Other]\nx=1\n");
    h.start();
    SkinManager* s = h.app->Form1->SkinMen();
    QCOMPARE(s->skinName(), QStringLiteral("Pirate (custom)"));
    QCOMPARE(s->drawnLook(), QStringLiteral("Aluminium (internal)"));
    h.app->Form1->show();
    h.app->Form1->close();
    QCOMPARE(QString::fromStdString(h.readIni()),
             QStringLiteral("; my notes\n[Skin]\nSkinName=Pirate (custom)\n[Other]\nx=1\n"));
}

void MainWindowTest::laysOutTheSevenButtons() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    QCOMPARE(f->size(), QSize(792, 137));
    struct B {
        QPushButton* b;
        const char* caption;
        QRect rect;
    } buttons[] = {
        {f->OsszeBtn, "Összeadás", {24, 8, 347, 25}},
        {f->KivonBtn, "Kivonás", {424, 8, 347, 25}},
        {f->SzorozBtn, "Szorzás", {24, 40, 347, 25}},
        {f->OsztBtn, "Osztás", {424, 40, 347, 25}},
        {f->MertekBtn, "Mértékegységek váltása", {24, 72, 347, 25}},
        {f->KilepBtn, "Kilépés", {424, 72, 347, 25}},
        {f->AboutBtn, "Segítség a használathoz", {280, 104, 249, 25}},
    };
    for (const B& b : buttons) {
        QCOMPARE(b.b->text(), QString::fromUtf8(b.caption));
        QCOMPARE(b.b->geometry(), b.rect);
        QCOMPARE(b.b->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(b.b->accessibleName(), QString::fromUtf8(b.caption));
    }
    QCOMPARE(f->AboutBtn->font().pixelSize(), 13);
    QCOMPARE(f->OsszeBtn->font().pixelSize(), 16);
    QVERIFY(f->OsszeBtn->font().bold());
    // "Kilépés" stands out in red, whatever the skin.
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    QCOMPARE(f->KilepBtn->palette().color(QPalette::ButtonText), QColor(Qt::red));
    QCOMPARE(f->cursor().shape(), Qt::UpArrowCursor);
}

void MainWindowTest::menuButtonsOpenTheirWindowsAndClosingComesBack() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    const struct {
        QPushButton* button;
        QWidget* target;
    } routes[] = {
        {f->OsszeBtn, (QWidget*)h.app->OsszeadForm},  {f->KivonBtn, (QWidget*)h.app->KivonForm},
        {f->SzorozBtn, (QWidget*)h.app->SzorzasForm}, {f->OsztBtn, (QWidget*)h.app->OsztasForm},
        {f->MertekBtn, (QWidget*)h.app->MertekForm},  {f->AboutBtn, (QWidget*)h.app->AboutForm},
    };
    h.script->assign({0, 0, 0, 0, 0, 0, 0, 0});  // the opening questions 0+1, 1-1, 1*2, 2:2
    for (const auto& r : routes) {
        h.player.clear();
        r.button->click();
        QVERIFY(!f->isVisible());
        QVERIFY(r.target->isVisible());
        QCOMPARE(r.target->windowModality(), Qt::ApplicationModal);
        r.target->close();  // the close box
        QVERIFY(!r.target->isVisible());
        QVERIFY(f->isVisible());
        QVERIFY(h.player.cues.contains(QStringLiteral("ByeBye")));
        QCOMPARE(h.player.cues.last(), QStringLiteral("ByeBye"));
    }
}

void MainWindowTest::exitRefusedWritesNothing() {
    Harness h("[Skin]\nSkinName=WEB (internal)\n");
    h.start();
    h.exitAnswer = 0;
    TForm1* f = h.app->Form1;
    f->show();
    QSignalSpy ended(f, &TForm1::programEnded);
    f->SkinMen()->setSkinName(QStringLiteral("Smoky (internal)"));
    f->close();
    QCOMPARE(h.exitAsked, 1);
    QVERIFY(f->isVisible());
    QCOMPARE(ended.count(), 0);
    QCOMPARE(QString::fromStdString(h.readIni()), QStringLiteral("[Skin]\nSkinName=WEB (internal)\n"));
    QCOMPARE(h.player.cues.last(), QStringLiteral("YoullRegretThat"));
}

void MainWindowTest::exitDialogAnswers_data() {
    // Each answer is a row of keys pressed on the focused button (Key_Close
    // stands for the dialog's own close box, Key_No for a click on "&Nem").
    using Keys = QList<QKeyCombination>;
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<bool>("allowed");
    const QKeyCombination tab(Qt::Key_Tab);
    QTest::newRow("Enter means Igen") << Keys{Qt::Key_Return} << true;
    QTest::newRow("keypad Enter means Igen") << Keys{Qt::KeypadModifier | Qt::Key_Enter} << true;
    QTest::newRow("Escape means Nem") << Keys{Qt::Key_Escape} << false;
    QTest::newRow("close box leaves the close allowed") << Keys{Qt::Key_Close} << true;
    QTest::newRow("Nem button") << Keys{Qt::Key_No} << false;
    QTest::newRow("Alt+N") << Keys{Qt::AltModifier | Qt::Key_N} << false;
    // Enter presses the focused button, like Space.
    QTest::newRow("Tab to Nem, Enter") << Keys{tab, Qt::Key_Return} << false;
    QTest::newRow("Tab to Nem, keypad Enter") << Keys{tab, Qt::KeypadModifier | Qt::Key_Enter} << false;
    QTest::newRow("Tab to Nem, Space") << Keys{tab, Qt::Key_Space} << false;
    QTest::newRow("Tab to Nem and back, Enter") << Keys{tab, tab, Qt::Key_Return} << true;
    // The accelerator letter alone, either case, presses its button.
    QTest::newRow("n") << Keys{Qt::Key_N} << false;
    QTest::newRow("N") << Keys{Qt::ShiftModifier | Qt::Key_N} << false;
    QTest::newRow("Tab to Nem, i") << Keys{tab, Qt::Key_I} << true;
    QTest::newRow("Tab to Nem, I") << Keys{tab, Qt::ShiftModifier | Qt::Key_I} << true;
    QTest::newRow("Tab to Nem, Alt+I") << Keys{tab, Qt::AltModifier | Qt::Key_I} << true;
}

void MainWindowTest::exitDialogAnswers() {
    QFETCH(QList<QKeyCombination>, keys);
    QFETCH(bool, allowed);
    Harness h;
    h.start();
    QString message, title, yes, no, firstFocus;
    const auto fellBack = onDialog([&](QDialog* d) {
        title = d->windowTitle();
        message = d->findChild<QLabel*>(QStringLiteral("Message"))->text();
        yes = d->findChild<QPushButton*>(QStringLiteral("Igen"))->text();
        no = d->findChild<QPushButton*>(QStringLiteral("Nem"))->text();
        firstFocus = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
        for (QKeyCombination k : keys) {
            if (k.key() == Qt::Key_Close)
                d->close();
            else if (k.key() == Qt::Key_No)
                d->findChild<QPushButton*>(QStringLiteral("Nem"))->click();
            else
                press(d, k);
        }
    });
    const bool got = TForm1::askExit(h.app->Form1);
    QVERIFY2(!*fellBack, "the keys did not answer the dialog");
    QCOMPARE(got, allowed);
    QCOMPARE(firstFocus, QStringLiteral("Igen"));
    QCOMPARE(title, QStringLiteral("Megerősítés"));
    QCOMPARE(message, QStringLiteral(" Egész biztosan kilépsz ? "));
    QCOMPARE(yes, QStringLiteral("&Igen"));
    QCOMPARE(no, QStringLiteral("&Nem"));
}

void MainWindowTest::exitDialogIsCentredOnTheScreen() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    // The main window away from the middle: the dialog goes to the middle
    // of the screen all the same.
    f->move(0, 0);
    QRect frame, screen;
    const auto fellBack = onDialog([&](QDialog* d) {
        frame = d->frameGeometry();
        screen = d->screen()->availableGeometry();
        d->done(0);
    });
    TForm1::askExit(f);
    QVERIFY(!*fellBack);
    QVERIFY(frame.height() > 40);
    QVERIFY2((frame.center() - screen.center()).manhattanLength() <= 1,
             qPrintable(QStringLiteral("dialog at %1,%2 %3x%4 on a %5x%6 screen")
                            .arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())
                            .arg(screen.width()).arg(screen.height())));
}

void MainWindowTest::refusedWriteIsReportedAndTheProgramStillEnds() {
    Harness h;
    // A directory where the file should be: no write can succeed.
    QVERIFY(QDir().mkpath(QString::fromStdString(h.iniPath())));
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    QSignalSpy ended(f, &TForm1::programEnded);
    f->close();
    h.finishSaves();
    QCOMPARE(h.errors, QStringList{QStringLiteral("Unable to write to ") + QString::fromStdString(h.iniPath())});
    QCOMPARE(ended.count(), 1);
    QVERIFY(QFileInfo(QString::fromStdString(h.iniPath())).isDir());
}

void MainWindowTest::rightClickOpensSkinMenuAndShortcutsWorkEverywhere() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    QMenu* menu = f->PopupMenu1();
    QStringList captions, shortcuts;
    for (QAction* a : menu->actions()) {
        captions << a->text();
        shortcuts << a->shortcut().toString(QKeySequence::PortableText);
    }
    // One item per row of the skin table, in its order.
    QStringList rowCaptions, rowShortcuts;
    for (const SkinRow& row : skins::table()) {
        rowCaptions << QString::fromUtf8(row.caption);
        rowShortcuts << QKeySequence(Qt::CTRL | row.key).toString(QKeySequence::PortableText);
    }
    QCOMPARE(captions, rowCaptions);
    QCOMPARE(shortcuts, rowShortcuts);
    QCOMPARE(captions.mid(0, 6), (QStringList{"Aluminium Skin", "Smoky Skin", "Beijing Skin", "Vista Skin",
                                              "Web Skin", "Elegant Skin"}));
    QCOMPARE(shortcuts.mid(0, 6), (QStringList{"Ctrl+A", "Ctrl+S", "Ctrl+B", "Ctrl+V", "Ctrl+W", "Ctrl+E"}));

    f->show();
    QVERIFY(QTest::qWaitForWindowActive(f));
    // A right click on a button opens the skin menu.
    QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(5, 5), f->OsszeBtn->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(f->OsszeBtn, &ev);
    QTRY_VERIFY(menu->isVisible());
    menu->hide();

    QTest::keyClick(f, Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(f->SkinMen()->skinName(), QStringLiteral("Elegant (internal)"));
    const QStringList before = h.player.cues;

    // In the help window, with the main window hidden.
    f->AboutBtn->click();
    QWidget* about = h.app->windows().at(6);
    QVERIFY(QTest::qWaitForWindowActive(about));
    QTest::keyClick(about, Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(f->SkinMen()->skinName(), QStringLiteral("WEB (internal)"));
    about->close();
    // Choosing a skin plays nothing.
    QVERIFY(!h.player.cues.mid(before.size()).contains(QStringLiteral("Hello")));
}

void MainWindowTest::skinChosenInAChildWindowSurvivesARestart() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    h.script->assign({4, 2});  // 5-3
    f->KivonBtn->click();
    QWidget* kivon = h.app->windows().at(2);
    QVERIFY(QTest::qWaitForWindowActive(kivon));
    // From a focused text field: Ctrl+S picks the skin, and Ctrl+V pastes nothing.
    QLineEdit* field = kivon->findChild<QLineEdit*>(QStringLiteral("Annyi"));
    QVERIFY2(field, "the subtraction window has its answer field");
    field->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("77"));
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f->SkinMen()->skinName(), QStringLiteral("Vista (internal)"));
    QCOMPARE(field->text(), QString());
    QTest::keyClicks(field, QStringLiteral("12"));
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(f->SkinMen()->skinName(), QStringLiteral("Aluminium (internal)"));
    QVERIFY(!field->hasSelectedText());
    QTest::keyClick(field, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(f->SkinMen()->skinName(), QStringLiteral("Smoky (internal)"));
    kivon->close();
    f->close();
    h.app.reset();

    h.player.clear();
    h.start();
    QCOMPARE(h.app->Form1->SkinMen()->skinName(), QStringLiteral("Smoky (internal)"));
}

void MainWindowTest::leftClickOnMainBackgroundPlaysNothing() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    h.player.clear();
    QTest::mouseClick(f, Qt::LeftButton, {}, QPoint(5, 130));
    QVERIFY(h.player.cues.isEmpty());
}

void MainWindowTest::mainWindowHasTheOldSansSerifFont() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    // The window's own font: the old sans-serif (its metric twin), 11 pixels.
    QCOMPARE(f->font().pixelSize(), 11);
    // Windows has the face itself; elsewhere it is its metric twin.
    const QString oldSans = QStringLiteral("MS Sans Serif");
    QCOMPARE(QFontInfo(f->font()).family(),
             QFontDatabase::hasFamily(oldSans) ? oldSans : QStringLiteral("Liberation Sans"));
    QVERIFY(!f->font().bold());
    // A control without a font of its own takes it; the buttons keep theirs.
    QLabel plain(QStringLiteral("x"), f);
    QCOMPARE(plain.font(), f->font());
    QCOMPARE(f->OsszeBtn->font().pixelSize(), 16);
    QCOMPARE(f->AboutBtn->font().pixelSize(), 13);
    // The skin menu and the exit question are windows of their own and keep
    // the desktop's font.
    QCOMPARE(f->PopupMenu1()->font(), QApplication::font(f->PopupMenu1()));
}

// A click on the bare background is a press and its release both on it; a
// double click counts as one click, as the platform counts it.
void MainWindowTest::aBackgroundClickIsAPressAndItsRelease() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    QList<KobaltWindow*> windows;
    for (KobaltWindow* w : h.app->windows())
        if (w != f) windows << w;
    h.script->assign({0, 0, 0, 0, 0, 0, 0, 0});  // the four drill windows' opening questions
    for (KobaltWindow* w : windows) {
        w->ensureBuilt();
        // Opened over the window it goes back to, as the pupil opens it.
        const bool conversion = w == h.app->TeruletForm || w == h.app->HosszuForm ||
                                w == h.app->TerfogatForm || w == h.app->TomegForm;
        w->showModalFrom(conversion ? static_cast<QWidget*>(h.app->MertekForm) : f);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        // A spot of bare background.
        QPoint spot;
        for (int y = 2; y < w->height() && spot.isNull(); y += 3)
            for (int x = 2; x < w->width() && spot.isNull(); x += 3)
                if (!w->childAt(x, y)) spot = QPoint(x, y);
        QVERIFY2(!spot.isNull(), qPrintable(w->objectName()));
        // The middle of an enabled control, a label where the window has one.
        QWidget* control = nullptr;
        for (QWidget* c : w->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (!c->isWindow() && c->isVisible() && c->isEnabled() && (!control || qobject_cast<QLabel*>(c)))
                control = c;
        QVERIFY(control);
        const QPoint onControl = control->geometry().center();
        QWindow* win = w->windowHandle();
        h.player.clear();

        // The cue answers the release of a press on the background, not the press.
        QTest::mousePress(win, Qt::LeftButton, {}, spot);
        QVERIFY(h.player.cues.isEmpty());
        QTest::mouseRelease(win, Qt::LeftButton, {}, spot);
        QCOMPARE(h.player.cues, QStringList{QStringLiteral("LeaveMeAlone")});
        // A press dragged off the window, or onto a control, plays nothing;
        // nor does a press on a control released on the background.
        QTest::mousePress(win, Qt::LeftButton, {}, spot);
        QTest::mouseMove(win, QPoint(-30, -30));
        QTest::mouseRelease(win, Qt::LeftButton, {}, QPoint(-30, -30));
        QTest::mousePress(win, Qt::LeftButton, {}, spot);
        QTest::mouseRelease(win, Qt::LeftButton, {}, onControl);
        QTest::mousePress(win, Qt::LeftButton, {}, onControl);
        QTest::mouseRelease(win, Qt::LeftButton, {}, spot);
        QCOMPARE(h.player.cues.size(), 1);
        QVERIFY(w->isVisible());

        h.player.clear();
        QTest::mouseDClick(win, Qt::LeftButton, {}, spot);
        QCOMPARE(h.player.cues, QStringList{QStringLiteral("LeaveMeAlone")});
        // Two clicks far enough apart are two clicks.
        QTest::mouseClick(win, Qt::LeftButton, {}, spot);
        QCOMPARE(h.player.cues, (QStringList{"LeaveMeAlone", "LeaveMeAlone"}));
        w->close();
    }
}

// A frame drawn by the toolkit (Wayland) or a window manager may offer a
// maximise box on a fixed window: the window keeps its own size.
void MainWindowTest::aMaximiseAskedByTheFrameKeepsTheFixedSize() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    const QSize mainSize = f->size();
    f->setWindowState(Qt::WindowMaximized);
    QTRY_VERIFY(!(f->windowState() & Qt::WindowMaximized));
    QCOMPARE(f->size(), mainSize);

    h.script->assign({2, 1});  // 1+2
    f->OsszeBtn->click();
    auto* drill = (QWidget*)h.app->OsszeadForm;
    QVERIFY(QTest::qWaitForWindowExposed(drill));
    const QSize drillSize = drill->size();
    drill->setWindowState(Qt::WindowFullScreen);
    QTRY_VERIFY(!(drill->windowState() & Qt::WindowFullScreen));
    QCOMPARE(drill->size(), drillSize);
    QVERIFY(drill->isVisible());
    drill->close();
    QVERIFY(f->isVisible());
}

QTEST_MAIN(MainWindowTest)
#include "main_window_qtest.moc"
