// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The whole program from the keyboard alone: every key goes to the control
// that has the focus in the active window, as a real keyboard's would. Tab
// walks the controls, Enter or Space presses the focused button, the answer
// fields judge on Enter, the unit fields take Enter without doing anything,
// and a window closes only by its back button (or its close box): Escape
// changes nothing.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QtTest>

#include "app/about_form.h"
#include "app/main_window.h"
#include "arith/arith_window.h"
#include "arith/arith_windows.h"
#include "drill/drill_controls.h"
#include "drill/drill_ui.h"
#include "measure/conversion_window.h"
#include "measure/conversion_windows.h"
#include "measure/mertek_form.h"
#include "support/testkit.h"

using testkit::Harness;

namespace {

QString describe(const QWidget* w) {
    if (!w) return QStringLiteral("nothing");
    return w->window()->objectName() + "/" + w->objectName();
}

// Waits (bounded) until `w` is the active window.
bool becomesActive(QWidget* w) {
    for (int i = 0; i < 200 && QApplication::activeWindow() != w; ++i) QTest::qWait(10);
    return QApplication::activeWindow() == w;
}

// Presses a key on the keyboard: the focused control of the active window
// gets it first, whatever it leaves goes on to its window.
void press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    if (!target) target = QApplication::activeWindow();
    QVERIFY2(target, "no window has the keyboard");
    QVERIFY2(target->window() == QApplication::activeWindow(), qPrintable(describe(target)));
    QTest::keyClick(target, Qt::Key(key), mods);
}

void type(const QString& digits) {
    for (QChar c : digits) press(Qt::Key_0 + (c.unicode() - u'0'));
}

// Tab until `target` has the focus, never leaving its window. Returns the
// number of presses, -1 when the target was not reached.
int tabTo(QWidget* target) {
    for (int presses = 0; presses < 40; ++presses) {
        if (QApplication::focusWidget() == target) return presses;
        press(Qt::Key_Tab);
        if (QApplication::focusWidget() && QApplication::focusWidget()->window() != target->window()) return -1;
    }
    return -1;
}

// The button that takes a window back to the one below it.
QPushButton* backButton(QWidget* w) {
    for (const char* name : {"sButton1", "VegeBtn", "Vege"})
        if (auto* b = w->findChild<QPushButton*>(QString::fromLatin1(name))) return b;
    return nullptr;
}

// The main window as the program shows it at start.
void showMain(Harness& h) {
    h.app->Form1->show();
    QVERIFY(becomesActive(h.app->Form1));
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
private slots:
    void mainMenuTabsRowByRow();
    void menuButtonsOpenTheirWindows_data();
    void menuButtonsOpenTheirWindows();
    void arithmeticDrillByKeyboard_data();
    void arithmeticDrillByKeyboard();
    void conversionDrillByKeyboard();
    void helpWindowByKeyboard();
    void escapeChangesNothing();
    void leavingTheProgramByKeyboard();
};

void KeyboardTest::mainMenuTabsRowByRow() {
    Harness h;
    h.start();
    showMain(h);
    TForm1* f = h.app->Form1;
    QCOMPARE(QApplication::focusWidget(), f->OsszeBtn);
    const QList<QPushButton*> order = {f->KivonBtn, f->SzorozBtn, f->OsztBtn, f->MertekBtn,
                                       f->KilepBtn, f->AboutBtn,  f->OsszeBtn};
    for (QPushButton* next : order) {
        press(Qt::Key_Tab);
        QCOMPARE(describe(QApplication::focusWidget()), describe(next));
    }
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), f->AboutBtn);
}

void KeyboardTest::menuButtonsOpenTheirWindows_data() {
    QTest::addColumn<int>("tabs");
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("mods");
    QTest::addColumn<int>("backKey");
    QTest::newRow("Összeadás by Return") << 0 << "OsszeadForm" << int(Qt::Key_Return) << Qt::KeyboardModifiers()
                                         << int(Qt::Key_Return);
    QTest::newRow("Kivonás by keypad Enter") << 1 << "KivonForm" << int(Qt::Key_Enter)
                                             << Qt::KeyboardModifiers(Qt::KeypadModifier) << int(Qt::Key_Space);
    QTest::newRow("Szorzás by Space") << 2 << "SzorzasForm" << int(Qt::Key_Space) << Qt::KeyboardModifiers()
                                      << int(Qt::Key_Return);
    QTest::newRow("Osztás by Return") << 3 << "OsztasForm" << int(Qt::Key_Return) << Qt::KeyboardModifiers()
                                      << int(Qt::Key_Space);
    QTest::newRow("Mértékegységek by Return") << 4 << "MertekForm" << int(Qt::Key_Return) << Qt::KeyboardModifiers()
                                              << int(Qt::Key_Return);
    QTest::newRow("Segítség by Return") << 6 << "AboutForm" << int(Qt::Key_Return) << Qt::KeyboardModifiers()
                                        << int(Qt::Key_Space);
}

void KeyboardTest::menuButtonsOpenTheirWindows() {
    QFETCH(int, tabs);
    QFETCH(QString, window);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, mods);
    QFETCH(int, backKey);
    Harness h;
    h.start();
    h.script->assign({2, 1});  // a drill window's opening question
    showMain(h);
    for (int i = 0; i < tabs; ++i) press(Qt::Key_Tab);
    QWidget* button = QApplication::focusWidget();
    QVERIFY(qobject_cast<QPushButton*>(button));
    KobaltWindow* target = nullptr;
    for (KobaltWindow* w : h.app->windows())
        if (w->objectName() == window) target = w;
    QVERIFY(target);

    press(key, mods);
    QVERIFY(target->isVisible());
    QVERIFY(!h.app->Form1->isVisible());
    QVERIFY(becomesActive(target));
    QVERIFY(QApplication::focusWidget() && QApplication::focusWidget()->window() == target);

    // Escape does not close it; Tab to the back button, then Enter or Space
    // does, and the keyboard is back on the button that opened it.
    h.player.clear();
    press(Qt::Key_Escape);
    QVERIFY(target->isVisible());
    QVERIFY(h.player.cues.isEmpty());
    QVERIFY(tabTo(backButton(target)) >= 0);
    press(backKey);
    QVERIFY(!target->isVisible());
    QVERIFY(h.app->Form1->isVisible());
    QCOMPARE(h.player.cues, QStringList{QStringLiteral("ByeBye")});
    QVERIFY(becomesActive(h.app->Form1));
    QCOMPARE(QApplication::focusWidget(), button);
}

void KeyboardTest::arithmeticDrillByKeyboard_data() {
    QTest::addColumn<int>("tabs");
    QTest::newRow("addition") << 0;
    QTest::newRow("subtraction") << 1;
    QTest::newRow("multiplication") << 2;
    QTest::newRow("division") << 3;
}

void KeyboardTest::arithmeticDrillByKeyboard() {
    QFETCH(int, tabs);
    Harness h;
    h.start();
    h.script->assign({4, 2, 7, 3, 5, 1, 6, 2});
    showMain(h);
    for (int i = 0; i < tabs; ++i) press(Qt::Key_Tab);
    press(Qt::Key_Return);
    auto* w = qobject_cast<ArithWindow*>(h.app->windows().value(1 + tabs));
    QVERIFY(w);
    QVERIFY(becomesActive(w));
    // The answer field comes first.
    QCOMPARE(QApplication::focusWidget(), w->Annyi);

    // Enter in the answer field judges it, and nothing else.
    const int expected = w->drill().state().ExpectedAnswer;
    h.player.clear();
    type(QString::number(expected));
    press(Qt::Key_Return);
    QCOMPARE(h.player.cues, QStringList{QStringLiteral("Perfect")});
    QCOMPARE(w->controls()->OsszSzam->text(), QStringLiteral("1"));
    QCOMPARE(w->controls()->JoSzam->text(), QStringLiteral("1"));
    QVERIFY(w->isVisible());
    QCOMPARE(QApplication::focusWidget(), w->Annyi);
    type(QString::number(w->drill().state().ExpectedAnswer + 1));
    press(Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(w->controls()->OsszSzam->text(), QStringLiteral("2"));
    QCOMPARE(w->controls()->RosszSzam->text(), QStringLiteral("1"));

    // Every control of the window on the way to the back button.
    QVERIFY(tabTo(w->controls()->sButton1) > 0);
    h.player.clear();
    press(Qt::Key_Return);
    QVERIFY(!w->isVisible());
    QVERIFY(h.app->Form1->isVisible());
    QCOMPARE(h.player.cues, QStringList{QStringLiteral("ByeBye")});
}

void KeyboardTest::conversionDrillByKeyboard() {
    Harness h;
    h.start();
    h.script->assign({6, 2});  // 7 km, then 3 km
    showMain(h);
    TMertekForm* chooser = h.app->MertekForm;
    QCOMPARE(tabTo(h.app->Form1->MertekBtn), 4);
    press(Qt::Key_Return);
    QVERIFY(becomesActive(chooser));
    QCOMPARE(QApplication::focusWidget(), chooser->TeruletBtn);
    press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), chooser->Hosszusag);
    press(Qt::Key_Return);
    ConversionWindow* w = h.app->HosszuForm;
    QVERIFY(becomesActive(w));
    const auto& rows = w->unitControls();

    // Choose km as the given unit, then draw the task.
    QCOMPARE(QApplication::focusWidget(), rows[0].choice);
    press(Qt::Key_Space);
    QVERIFY(rows[0].choice->isChecked());
    QVERIFY(tabTo(w->Kovetkezo) > 0);
    press(Qt::Key_Return);
    QVERIFY(w->EllenBtn->isEnabled());
    QVERIFY(!w->Kovetkezo->isEnabled());
    const qint64 km = rows[0].field->text().toLongLong();
    QCOMPARE(km, 7);
    // The first field that waits for an answer has the keyboard.
    QCOMPARE(QApplication::focusWidget(), rows[1].field);

    // Enter in a unit field triggers nothing: no check, no cue.
    h.player.clear();
    const qint64 factor[] = {1000, 10000, 100000, 1000000};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(describe(QApplication::focusWidget()), describe(rows[size_t(i) + 1].field));
        type(QString::number(km * factor[i]));
        press(Qt::Key_Return);
        QVERIFY(w->EllenBtn->isEnabled());
        press(Qt::Key_Tab);
    }
    QVERIFY(h.player.cues.isEmpty());
    QCOMPARE(w->controls()->OsszSzam->text(), QStringLiteral("0"));

    // Tab has reached the check.
    QCOMPARE(QApplication::focusWidget(), w->EllenBtn);
    press(Qt::Key_Return);
    QCOMPARE(h.player.cues, QStringList{QStringLiteral("Perfect")});
    QCOMPARE(w->controls()->JoSzam->text(), QStringLiteral("1"));
    QCOMPARE(QApplication::focusWidget(), w->Kovetkezo);

    // The next task, left open: Escape leaves it open; the back button goes
    // back to the chooser, and the window opens again with the keyboard in
    // the task's first field.
    press(Qt::Key_Return);
    QVERIFY(w->EllenBtn->isEnabled());
    QCOMPARE(rows[0].field->text(), QStringLiteral("3"));
    press(Qt::Key_Escape);
    QVERIFY(w->isVisible());
    QCOMPARE(describe(QApplication::focusWidget()), describe(rows[1].field));
    QVERIFY(tabTo(w->controls()->sButton1) > 0);
    press(Qt::Key_Return);
    QVERIFY(!w->isVisible());
    QVERIFY(becomesActive(chooser));
    QCOMPARE(QApplication::focusWidget(), chooser->Hosszusag);
    press(Qt::Key_Return);
    QVERIFY(becomesActive(w));
    QCOMPARE(describe(QApplication::focusWidget()), describe(rows[1].field));

    // Back twice: the chooser, then the main menu.
    QVERIFY(tabTo(w->controls()->sButton1) > 0);
    press(Qt::Key_Space);
    QVERIFY(becomesActive(chooser));
    QVERIFY(tabTo(chooser->VegeBtn) > 0);
    press(Qt::Key_Return);
    QVERIFY(!chooser->isVisible());
    QVERIFY(becomesActive(h.app->Form1));
    QCOMPARE(QApplication::focusWidget(), h.app->Form1->MertekBtn);
}

void KeyboardTest::helpWindowByKeyboard() {
    Harness h;
    h.start();
    showMain(h);
    TAboutForm* a = h.app->AboutForm;
    QCOMPARE(tabTo(h.app->Form1->AboutBtn), 6);
    press(Qt::Key_Return);
    QVERIFY(becomesActive(a));
    QCOMPARE(QApplication::focusWidget(), a->Vege);

    // The help text takes the keyboard and lets a caret walk it.
    press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), a->RichEdit1);
    const int before = a->RichEdit1->textCursor().position();
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    QVERIFY(a->RichEdit1->textCursor().position() > before);
    QVERIFY(a->isVisible());

    h.player.clear();
    press(Qt::Key_Escape);
    QVERIFY(a->isVisible());
    QCOMPARE(QApplication::focusWidget(), a->RichEdit1);
    QCOMPARE(tabTo(a->Vege), 1);
    press(Qt::Key_Space);
    QVERIFY(!a->isVisible());
    QVERIFY(becomesActive(h.app->Form1));
    QCOMPARE(QApplication::focusWidget(), h.app->Form1->AboutBtn);

    // "Elolvastam" by Enter.
    press(Qt::Key_Return);
    QVERIFY(becomesActive(a));
    QCOMPARE(QApplication::focusWidget(), a->Vege);
    press(Qt::Key_Return);
    QVERIFY(!a->isVisible());
    QVERIFY(h.app->Form1->isVisible());
    QCOMPARE(h.player.cues, (QStringList{"ByeBye", "ByeBye"}));
}

// A stray Escape, wherever the focus is, leaves every window as it was: a
// drill run keeps its question, its typing, its counters and its log.
void KeyboardTest::escapeChangesNothing() {
    Harness h;
    h.start();
    h.script->assign({4, 2, 7, 3, 5, 1, 6, 2, 6});
    showMain(h);
    TForm1* f = h.app->Form1;

    // An arithmetic drill in the middle of a run.
    f->OsszeBtn->click();
    auto* add = h.app->OsszeadForm;
    QVERIFY(becomesActive(add));
    type(QString::number(add->drill().state().ExpectedAnswer));
    press(Qt::Key_Return);
    type(QString::number(add->drill().state().ExpectedAnswer + 1));
    press(Qt::Key_Return);
    type(QStringLiteral("1"));
    const kob::DrillState before = add->drill().state();
    const QString log = add->controls()->Memo->toPlainText();
    h.player.clear();
    for (QWidget* at : {static_cast<QWidget*>(add->Annyi), static_cast<QWidget*>(add->controls()->sButton1)}) {
        at->setFocus();
        press(Qt::Key_Escape);
        QVERIFY(add->isVisible());
        QCOMPARE(add->drill().state().AskedCount, before.AskedCount);
        QCOMPARE(add->drill().state().GoodCount, before.GoodCount);
        QCOMPARE(add->drill().state().BadCount, before.BadCount);
        QCOMPARE(add->drill().state().ExpectedAnswer, before.ExpectedAnswer);
        QCOMPARE(add->controls()->Memo->toPlainText(), log);
        QCOMPARE(add->Annyi->text(), QStringLiteral("1"));
    }
    QCOMPARE(add->controls()->OsszSzam->text(), QStringLiteral("2"));
    QVERIFY(h.player.cues.isEmpty());
    add->close();

    // The chooser, and a conversion drill with a task open and half typed.
    f->MertekBtn->click();
    TMertekForm* chooser = h.app->MertekForm;
    QVERIFY(becomesActive(chooser));
    press(Qt::Key_Escape);
    QVERIFY(chooser->isVisible());
    chooser->Hosszusag->click();
    ConversionWindow* w = h.app->HosszuForm;
    QVERIFY(becomesActive(w));
    w->unitControls()[0].choice->click();
    w->Kovetkezo->click();
    QCOMPARE(QApplication::focusWidget(), w->unitControls()[1].field);
    type(QStringLiteral("70"));
    press(Qt::Key_Escape);
    QVERIFY(w->isVisible());
    QVERIFY(chooser->isHidden());
    QVERIFY(w->EllenBtn->isEnabled());
    QCOMPARE(w->unitControls()[1].field->text(), QStringLiteral("70"));
    QCOMPARE(w->engine().drill().AskedCount, 1);
    w->close();
    QVERIFY(becomesActive(chooser));
    chooser->close();

    // The help window.
    f->AboutBtn->click();
    QVERIFY(becomesActive(h.app->AboutForm));
    h.player.clear();
    press(Qt::Key_Escape);
    QVERIFY(h.app->AboutForm->isVisible());
    QVERIFY(h.player.cues.isEmpty());
}

void KeyboardTest::leavingTheProgramByKeyboard() {
    Harness h;
    h.start();
    showMain(h);
    TForm1* f = h.app->Form1;
    QSignalSpy ended(f, &TForm1::programEnded);

    // Escape does not leave the program: that is the exit button's work.
    press(Qt::Key_Escape);
    QVERIFY(f->isVisible());
    QCOMPARE(h.exitAsked, 0);

    QCOMPARE(tabTo(f->KilepBtn), 5);
    h.exitAnswer = 0;
    press(Qt::Key_Return);
    QCOMPARE(h.exitAsked, 1);
    QVERIFY(f->isVisible());
    QCOMPARE(ended.count(), 0);
    QCOMPARE(QApplication::focusWidget(), f->KilepBtn);

    h.exitAnswer = 1;
    press(Qt::Key_Space);
    QCOMPARE(h.exitAsked, 2);
    QCOMPARE(ended.count(), 1);
    QVERIFY(!f->isVisible());
}

QTEST_MAIN(KeyboardTest)
#include "keyboard_qtest.moc"
