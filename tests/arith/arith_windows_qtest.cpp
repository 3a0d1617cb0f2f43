// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The four arithmetic windows driven as a pupil drives them: opened from the
// main menu, answered by keys, closed with the back button.
#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "arith/arith_windows.h"
#include "drill/answer_log.h"
#include "drill/drill_controls.h"
#include "drill/drill_ui.h"
#include "kit/cue.h"
#include "support/testkit.h"

using testkit::Harness;

namespace {

struct LogLine {
    QString text;
    QColor colour;
};

QList<LogLine> logLines(kobui::AnswerLog* memo) {
    QList<LogLine> out;
    for (int i = 0; i < memo->lineCount(); ++i) out << LogLine{memo->line(i), memo->lineColour(i)};
    return out;
}

QStringList counters(ArithWindow* w) {
    const kobui::DrillControls* c = w->controls();
    return {c->OsszSzam->text(), c->JoSzam->text(), c->RosszSzam->text(), c->IdonTulSzam->text()};
}

QString question(ArithWindow* w) { return w->Hanyszor->text() + w->Szorzasjel->text() + w->Mennyi->text(); }

// Types the answer and presses Enter, as the pupil does.
void answer(ArithWindow* w, const QString& keys) {
    QTest::keyClicks(w->Annyi, keys);
    QTest::keyClick(w->Annyi, Qt::Key_Return);
}

// The first widget Tab reaches from the window's own start.
QWidget* firstTabStop(QWidget* w) {
    for (QWidget* n = w->nextInFocusChain(); n && n != w; n = n->nextInFocusChain())
        if ((n->focusPolicy() & Qt::TabFocus) && n->isEnabled() && !n->isHidden()) return n;
    return nullptr;
}

// The text of one section of the settings file, header excluded.
QString section(const QString& ini, const QString& name) {
    const qsizetype start = ini.indexOf("[" + name + "]");
    if (start < 0) return {};
    const qsizetype body = ini.indexOf('\n', start) + 1;
    const qsizetype end = ini.indexOf('[', body);
    return ini.mid(body, end < 0 ? -1 : end - body);
}

void script(Harness& h, std::initializer_list<int> values) {
    h.script->clear();
    h.script->insert(h.script->end(), values);
}

}  // namespace

class ArithWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void additionRoadByKeys();
    void onlyDigitsReachTheAnswerAndEmptyEnterIsIgnored();
    void lateRuleWithALimitOfOne();
    void movingTheBarKeepsTheCountdownAndTheLateFlag();
    void storedRangeLoadsAndEveryCloseStores();
    void noRangeSelectedJudgesTheShownOperands();
    void reopeningStartsAFreshRunWithTheStoredChoice();
    void rangeChangeKeepsTheQuestionAndSetsTheHeightNext();
    void backgroundClickTimeLimitAndButtonsGiveTheFocusBack();
    void arrowKeysChooseAndGiveTheFocusBack();
    void questionLineStandsInOneRow();
    void desktopActivationDoesNotRestartTheRun();
    void multiplicationAndDivisionRoads();
    void randomTableCanAskTheTableOfOne();
    void everyControlIsNamedAndTheAnswerComesFirst();
    void aWindowNeedsOnlyItsShell();
};

void ArithWindowsTest::additionRoadByKeys() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    ArithWindow* w = h.app->OsszeadForm;
    f->show();
    script(h, {6, 3, 1, 0, 4, 1});  // 3+4, then 0+2, then 1+4
    QTest::mouseClick(f->OsszeBtn, Qt::LeftButton);
    QVERIFY(w->isVisible());
    QVERIFY(!f->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("Kobaltfa -- Összeadás --"));
    QCOMPARE(h.player.cues, (QStringList{"Hello", "DragonBall"}));
    QCOMPARE(question(w), QStringLiteral("3+4"));
    QCOMPARE(counters(w), (QStringList{"0", "0", "0", "0"}));
    QCOMPARE(w->controls()->Csik->value(), 0);
    QVERIFY(logLines(w->controls()->Memo).isEmpty());
    QVERIFY(w->Annyi->text().isEmpty());
    QCOMPARE(w->focusWidget(), w->Annyi);
    QCOMPARE(w->controls()->MennyiIdoVanRaSzoveg->text(), QStringLiteral("30 mp"));
    QCOMPARE(w->controls()->IdoCsik->maximum(), 30);

    answer(w, "7");
    QCOMPARE(h.player.cues.last(), QStringLiteral("Perfect"));
    QCOMPARE(counters(w), (QStringList{"1", "1", "0", "0"}));
    QCOMPARE(w->controls()->Csik->value(), 100);
    QCOMPARE(question(w), QStringLiteral("0+2"));  // the next question at once
    QVERIFY(w->Annyi->text().isEmpty());
    // Emptied with its typing history: Ctrl+Z does not bring the judged
    // answer back, and the history does not pile up answer after answer.
    QVERIFY(!w->Annyi->isUndoAvailable());
    QTest::keyClick(w->Annyi, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(w->Annyi->text().isEmpty());

    answer(w, "5");
    QCOMPARE(h.player.cues.last(), QStringLiteral("Missed"));
    QCOMPARE(question(w), QStringLiteral("1+4"));
    QCOMPARE(counters(w), (QStringList{"2", "1", "1", "0"}));
    QCOMPARE(w->controls()->Csik->value(), 50);
    const QList<LogLine> log = logLines(w->controls()->Memo);
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[0].text, QStringLiteral("3+4=7"));
    QCOMPARE(log[0].colour, QColor(0x00, 0x80, 0x00));
    QCOMPARE(log[1].text, QStringLiteral("0+2=5"));
    QCOMPARE(log[1].colour, QColor(0xFF, 0x00, 0x00));

    QTest::mouseClick(w->controls()->sButton1, Qt::LeftButton);
    QVERIFY(!w->isVisible());
    QVERIFY(f->isVisible());
    QCOMPARE(h.player.cues, (QStringList{"Hello", "DragonBall", "Perfect", "Missed", "ByeBye"}));
    const QString ini = QString::fromStdString(h.readIni());
    QVERIFY2(ini.contains(QRegularExpression("\\[OsszeTimer\\]\\s+IdoScroll=30")), qPrintable(ini));
    QVERIFY2(ini.contains(QRegularExpression("\\[OsszeRadioButtonok\\]\\s+RB2=1\\s+RB3=0\\s+RB4=0\\s+RB5=0\\s+RB6=0")),
             qPrintable(ini));
}

void ArithWindowsTest::onlyDigitsReachTheAnswerAndEmptyEnterIsIgnored() {
    Harness h;
    h.start();
    h.app->Form1->show();
    ArithWindow* w = h.app->OsszeadForm;
    script(h, {2, 1});  // 1+2, and no other question
    h.app->Form1->OsszeBtn->click();
    h.player.clear();
    QTest::keyClicks(w->Annyi, "a -.,x");
    QVERIFY(w->Annyi->text().isEmpty());
    QTest::keyClick(w->Annyi, Qt::Key_Return);
    QTest::keyClick(w->Annyi, Qt::Key_Enter);
    QVERIFY(h.player.cues.isEmpty());
    QCOMPARE(counters(w), (QStringList{"0", "0", "0", "0"}));
    QTest::keyClicks(w->Annyi, "1x2-3.4+56");
    QCOMPARE(w->Annyi->text(), QStringLiteral("12345"));  // five digits at most
    QTest::keyClick(w->Annyi, Qt::Key_Backspace);
    QCOMPARE(w->Annyi->text(), QStringLiteral("1234"));
}

void ArithWindowsTest::lateRuleWithALimitOfOne() {
    Harness h("[KivonTimer]\nIdoScroll=1\n[KivonRadioButtonok]\nRB3=1\n");
    h.start();
    ArithWindow* w = h.app->KivonForm;
    QVERIFY(!w->isBuilt());  // nothing of it is needed before it is opened
    h.app->Form1->show();
    script(h, {11, 4, 11, 4, 11, 4, 11, 4});  // 12-5 each time, four questions
    h.app->Form1->KivonBtn->click();
    QTimer* clock = w->controls()->ElteltIdo;
    QVERIFY(clock->isActive());
    clock->stop();  // the ticks below are the only ones
    QCOMPARE(w->controls()->MennyiIdoVanRaSzoveg->text(), QStringLiteral("1 mp"));
    QCOMPARE(w->controls()->IdoCsik->maximum(), 1);

    w->ElteltIdoTimer();  // the limit is reached, not passed
    QCOMPARE(w->controls()->IdoCsik->value(), 0);
    answer(w, "7");
    w->ElteltIdoTimer();
    w->ElteltIdoTimer();  // one tick past the limit: late
    answer(w, "6");
    w->ElteltIdoTimer();
    w->ElteltIdoTimer();
    answer(w, "7");
    const QList<LogLine> log = logLines(w->controls()->Memo);
    QCOMPARE(log.size(), 3);
    QCOMPARE(log[0].text, QStringLiteral("12-5=7"));
    QCOMPARE(log[1].text, QStringLiteral("12-5=6^"));
    QCOMPARE(log[1].colour, QColor(Qt::red));
    QCOMPARE(log[2].text, QStringLiteral("12-5=7^"));
    QCOMPARE(log[2].colour, QColor(0x00, 0x80, 0x00));
    QCOMPARE(counters(w), (QStringList{"3", "2", "1", "2"}));
    QCOMPARE(w->controls()->Csik->value(), 66);
}

void ArithWindowsTest::movingTheBarKeepsTheCountdownAndTheLateFlag() {
    Harness h;
    h.start();
    ArithWindow* w = h.app->SzorzasForm;
    h.app->Form1->show();
    script(h, {2, 0, 4, 0});  // 3*2, then 5*2
    h.app->Form1->SzorozBtn->click();
    w->controls()->ElteltIdo->stop();
    QProgressBar* gauge = w->controls()->IdoCsik;
    QCOMPARE(gauge->maximum(), 30);
    w->ElteltIdoTimer();
    w->ElteltIdoTimer();
    QCOMPARE(gauge->value(), 28);
    // A shorter limit clamps what the gauge shows; it does not empty it.
    w->controls()->IdoScroll->setValue(10);
    QCOMPARE(gauge->maximum(), 10);
    QCOMPARE(gauge->value(), 10);
    QCOMPARE(w->controls()->MennyiIdoVanRaSzoveg->text(), QStringLiteral("10 mp"));
    for (int i = 0; i < 9; ++i) w->ElteltIdoTimer();
    QVERIFY(w->drill().state().LateFlag);  // 11 ticks past a limit of 10
    // A longer limit leaves a raised late flag raised.
    w->controls()->IdoScroll->setValue(60);
    QVERIFY(w->drill().state().LateFlag);
    QCOMPARE(gauge->value(), 0);  // empty since the limit was reached
    answer(w, "1");
    QCOMPARE(logLines(w->controls()->Memo).last().text, QStringLiteral("3*2=1^"));
}

void ArithWindowsTest::storedRangeLoadsAndEveryCloseStores() {
    Harness h("[OsszeTimer]\nIdoScroll=500\n[OsszeRadioButtonok]\nRB2=1\nRB4=1\n"
              "[SzorozRadioButtonok]\nRB3=1\nRB5=1\nRBV=0\n");
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    ArithWindow* w = h.app->OsszeadForm;
    script(h, {49, 9, 3, 0});  // 9+41 in range 100, then 4*5
    f->OsszeBtn->click();
    QVERIFY(w->RB[2]->isChecked());  // the later button stored as selected wins
    QCOMPARE(question(w), QStringLiteral("9+41"));
    QCOMPARE(w->selectedButton(), 2);
    QCOMPARE(w->controls()->IdoScroll->value(), 120);
    QCOMPARE(w->controls()->MennyiIdoVanRaSzoveg->text(), QStringLiteral("120 mp"));
    QCOMPARE(w->height(), 290);  // no picture strip outside range 10
    w->close();
    QString ini = QString::fromStdString(h.readIni());
    QVERIFY2(ini.contains(QRegularExpression("IdoScroll=120\\s")), qPrintable(ini));
    QVERIFY2(ini.contains(QRegularExpression("RB2=0\\s+RB4=1\\s+RB3=0\\s+RB5=0\\s+RB6=0")) ||
                 ini.contains(QRegularExpression("RB2=0\\s+RB3=0\\s+RB4=1\\s+RB5=0\\s+RB6=0")),
             qPrintable(ini));

    ArithWindow* m = h.app->SzorzasForm;
    f->SzorozBtn->click();
    QCOMPARE(m->selectedButton(), 3);  // RB5, "5-ös"
    QCOMPARE(m->RB[3]->text(), QStringLiteral("5-ös"));
    QCOMPARE(question(m), QStringLiteral("4*5"));
    m->close();
    ini = QString::fromStdString(h.readIni());
    const QString tables = section(ini, "SzorozRadioButtonok");
    QCOMPARE(tables.count(QStringLiteral("=1")), 1);
    QCOMPARE(tables.count(QStringLiteral("=0")), 9);
    QVERIFY2(tables.contains(QRegularExpression("RB5=1\\s")), qPrintable(tables));
    QVERIFY2(ini.contains(QRegularExpression("\\[SzorozTimer\\]\\s+IdoScroll=30")), qPrintable(ini));
}

void ArithWindowsTest::noRangeSelectedJudgesTheShownOperands() {
    Harness h("[OsszeRadioButtonok]\nRB2=0\n[KivonRadioButtonok]\nRB2=0\n");
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    ArithWindow* w = h.app->OsszeadForm;
    f->OsszeBtn->click();
    QCOMPARE(w->selectedButton(), -1);
    QCOMPARE(question(w), QStringLiteral("10000+10000"));
    QCOMPARE(w->height(), 387);  // the height stays as it was
    answer(w, "20000");
    QCOMPARE(h.player.cues.last(), QStringLiteral("Perfect"));
    QCOMPARE(question(w), QStringLiteral("10000+10000"));
    QCOMPARE(counters(w), (QStringList{"1", "1", "0", "0"}));
    // Choosing a range applies from the next question on.
    script(h, {6, 3});
    w->RB[0]->click();
    QVERIFY(w->RB[0]->isChecked());
    QCOMPARE(question(w), QStringLiteral("10000+10000"));
    answer(w, "0");
    QCOMPARE(question(w), QStringLiteral("3+4"));
    w->close();

    ArithWindow* k = h.app->KivonForm;
    f->KivonBtn->click();
    QCOMPARE(question(k), QStringLiteral("10000-10000"));
    answer(k, "0");
    QCOMPARE(logLines(k->controls()->Memo).value(0).text, QStringLiteral("10000-10000=0"));
    QCOMPARE(h.player.cues.last(), QStringLiteral("Perfect"));
}

void ArithWindowsTest::reopeningStartsAFreshRunWithTheStoredChoice() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    ArithWindow* w = h.app->OsszeadForm;
    script(h, {0, 0, 1, 1, 499, 100});  // 0+1, 1+1, then 100+400 in range 1000
    f->OsszeBtn->click();
    answer(w, "1");
    w->RB[3]->click();  // "1.000-es"
    QVERIFY(w->RB[3]->isChecked());
    QTest::mouseClick(w->controls()->sButton1, Qt::LeftButton);
    QVERIFY(QString::fromStdString(h.readIni()).contains(QRegularExpression("RB5=1")));
    h.player.clear();
    f->OsszeBtn->click();
    QCOMPARE(h.player.cues, QStringList{"DragonBall"});
    QVERIFY(w->RB[3]->isChecked());
    QCOMPARE(question(w), QStringLiteral("100+400"));
    QCOMPARE(counters(w), (QStringList{"0", "0", "0", "0"}));
    QVERIFY(logLines(w->controls()->Memo).isEmpty());
    QCOMPARE(w->drill().state().AskedCount, 1);
    QCOMPARE(w->height(), 290);
    // The close box and Alt+F4 take the same road as the back button.
    w->close();
    QCOMPARE(h.player.cues.last(), QStringLiteral("ByeBye"));
    QVERIFY(f->isVisible());
}

void ArithWindowsTest::rangeChangeKeepsTheQuestionAndSetsTheHeightNext() {
    Harness h;
    h.start();
    h.app->Form1->show();
    ArithWindow* w = h.app->OsszeadForm;
    script(h, {5, 3, 50, 10});  // 3+3 in range 10, then 11+40 in range 100
    h.app->Form1->OsszeBtn->click();
    QCOMPARE(question(w), QStringLiteral("3+3"));
    QCOMPARE(w->height(), 387);
    w->RB[2]->click();  // "100-as"
    QCOMPARE(question(w), QStringLiteral("3+3"));
    QCOMPARE(w->height(), 387);
    answer(w, "6");
    QCOMPARE(question(w), QStringLiteral("10+41"));
    QCOMPARE(w->height(), 290);
    QCOMPARE(w->drill().state().ExpectedAnswer, 51);
}

void ArithWindowsTest::backgroundClickTimeLimitAndButtonsGiveTheFocusBack() {
    Harness h;
    h.start();
    h.app->Form1->show();
    ArithWindow* w = h.app->OsszeadForm;
    script(h, {0, 0, 2, 1});  // 0+1, then 1+2
    h.app->Form1->OsszeBtn->click();
    answer(w, "1");
    const QStringList before = counters(w);
    h.player.clear();

    QTest::mouseClick(w->Hanyszor, Qt::LeftButton);  // a label is no background
    QTest::mouseClick(w->RGSzorzo, Qt::LeftButton, {}, QPoint(100, 60));
    QVERIFY(h.player.cues.isEmpty());

    w->controls()->sButton1->setFocus();
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(h.player.cues, QStringList{"LeaveMeAlone"});
    QCOMPARE(w->focusWidget(), w->Annyi);
    QCOMPARE(counters(w), before);

    QTest::mouseClick(w, Qt::RightButton, {}, QPoint(5, 5));  // the skin menu, no cue
    QCOMPARE(h.player.cues, QStringList{"LeaveMeAlone"});

    w->controls()->sButton1->setFocus();
    w->controls()->IdoScroll->setValue(45);
    QCOMPARE(w->focusWidget(), w->Annyi);
    QCOMPARE(w->controls()->MennyiIdoVanRaSzoveg->text(), QStringLiteral("45 mp"));
    QCOMPARE(int(w->drill().state().TimeLimit), 45);

    w->controls()->sButton1->setFocus();
    w->RB[1]->click();
    QVERIFY(w->RB[1]->isChecked());
    QCOMPARE(w->focusWidget(), w->Annyi);
    QCOMPARE(counters(w), before);
}

void ArithWindowsTest::arrowKeysChooseAndGiveTheFocusBack() {
    Harness h;
    h.start();
    h.app->Form1->show();
    ArithWindow* w = h.app->OsszeadForm;
    script(h, {5, 3, 14, 6, 0, 0});  // 3+3 in range 10, 6+9 in range 20, then 1*2
    h.app->Form1->OsszeBtn->click();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(QApplication::focusWidget(), w->Annyi);

    // Tab reaches the chosen range; Down chooses the next one and the digits
    // typed next go into the answer.
    QTest::keyClick(w->Annyi, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w->RB[0]);
    QTest::keyClick(w->RB[0], Qt::Key_Down);
    QVERIFY(w->RB[1]->isChecked());
    QCOMPARE(QApplication::focusWidget(), w->Annyi);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("6"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(logLines(w->controls()->Memo).value(0).text, QStringLiteral("3+3=6"));
    QCOMPARE(question(w), QStringLiteral("6+9"));
    QCOMPARE(w->height(), 290);  // the next question is in range 20

    // Up goes back; in the times-table windows Right moves across columns.
    w->RB[1]->setFocus();
    QTest::keyClick(w->RB[1], Qt::Key_Up);
    QVERIFY(w->RB[0]->isChecked());
    QCOMPARE(QApplication::focusWidget(), w->Annyi);
    w->close();

    ArithWindow* m = h.app->SzorzasForm;
    h.app->Form1->SzorozBtn->click();
    m->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m));
    m->RB[0]->setFocus();
    QTest::keyClick(m->RB[0], Qt::Key_Right);
    QCOMPARE(m->selectedButton(), 5);  // "7-es", beside "2-es"
    QCOMPARE(QApplication::focusWidget(), m->Annyi);
    // A move with nothing to choose (none beyond the first) leaves the focus.
    m->RB[5]->setFocus();
    QTest::keyClick(m->RB[5], Qt::Key_Up);
    QCOMPARE(m->selectedButton(), 5);
    QCOMPARE(QApplication::focusWidget(), m->RB[5]);

    // The buttons are one Tab stop, the chosen one, however it was chosen:
    // Tab from the answer enters the group there and the next Tab leaves
    // it; Shift+Tab comes back to the chosen button too.
    m->RB[8]->click();  // "10-es", by the mouse
    QCOMPARE(QApplication::focusWidget(), m->Annyi);
    QTest::keyClick(m->Annyi, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m->RB[8]);
    QTest::keyClick(m->RB[8], Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m->controls()->IdoScroll);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), m->RB[8]);
    QTest::keyClick(m->RB[8], Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), m->Annyi);
    // An arrow key chooses from there and the answer takes the focus back.
    QTest::keyClick(m->Annyi, Qt::Key_Tab);
    QTest::keyClick(m->RB[8], Qt::Key_Up);
    QCOMPARE(m->selectedButton(), 7);
    QCOMPARE(QApplication::focusWidget(), m->Annyi);
}

void ArithWindowsTest::questionLineStandsInOneRow() {
    Harness h;
    h.start();
    ArithWindow* add = h.app->OsszeadForm;
    ArithWindow* sub = h.app->KivonForm;
    add->ensureBuilt();
    sub->ensureBuilt();
    for (ArithWindow* w : {add, sub})
        for (QWidget* part : {(QWidget*)w->Hanyszor, (QWidget*)w->Mennyi, (QWidget*)w->Egyenlo, (QWidget*)w->Annyi})
            QVERIFY2(part->y() == 48, qPrintable(w->objectName() + "/" + part->objectName()));
    QCOMPARE(add->Szorzasjel->y(), 48);
    // The minus: narrower, 8 pixels further right and 8 higher than the plus.
    QCOMPARE(sub->Szorzasjel->geometry(),
             QRect(add->Szorzasjel->x() + 8, 40, 20, add->Szorzasjel->height()));
}

void ArithWindowsTest::desktopActivationDoesNotRestartTheRun() {
    Harness h;
    h.start();
    h.app->Form1->show();
    ArithWindow* w = h.app->OsszeadForm;
    script(h, {0, 0, 2, 1});  // 0+1, then 1+2
    h.app->Form1->OsszeBtn->click();
    answer(w, "1");
    h.player.clear();
    // Another program took the focus and gives it back.
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(w, &deactivate);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(w, &activate);
    QVERIFY2(h.player.cues.isEmpty(), qPrintable(h.player.cues.join(',')));
    QCOMPARE(counters(w).first(), QStringLiteral("1"));
    QCOMPARE(logLines(w->controls()->Memo).size(), 1);
    QCOMPARE(question(w), QStringLiteral("1+2"));  // no new question either
}

void ArithWindowsTest::multiplicationAndDivisionRoads() {
    Harness h("[SzorozRadioButtonok]\nRB8=1\n[OsztTimer]\nIdoScroll=1\n[OsztRadioButtonok]\nRB8=1\n");
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    ArithWindow* m = h.app->SzorzasForm;
    script(h, {6, 0, 1, 0});  // factor 7, the random table unused; then 2*8
    f->SzorozBtn->click();
    QCOMPARE(m->windowTitle(), QStringLiteral("Kobaltfa -- Szorzás --"));
    QCOMPARE(m->size(), QSize(681, 290));
    QCOMPARE(question(m), QStringLiteral("7*8"));
    QTest::keyClicks(m->Annyi, "0567");
    QCOMPARE(m->Annyi->text(), QStringLiteral("056"));  // three digits at most
    QTest::keyClick(m->Annyi, Qt::Key_Return);
    QCOMPARE(logLines(m->controls()->Memo).value(0).text, QStringLiteral("7*8=056"));
    QCOMPARE(h.player.cues.last(), QStringLiteral("Perfect"));
    QCOMPARE(question(m), QStringLiteral("2*8"));
    m->close();

    ArithWindow* d = h.app->OsztasForm;
    script(h, {6, 0, 2, 0});  // quotient 7; then 24:8
    f->OsztBtn->click();
    d->controls()->ElteltIdo->stop();
    QCOMPARE(question(d), QStringLiteral("56:8"));
    d->ElteltIdoTimer();
    d->ElteltIdoTimer();
    answer(d, "7");
    const QList<LogLine> log = logLines(d->controls()->Memo);
    QCOMPARE(log.value(0).text, QStringLiteral("56:8=7^"));
    QCOMPARE(log.value(0).colour, QColor(0x00, 0x80, 0x00));
    QCOMPARE(counters(d), (QStringList{"1", "1", "0", "1"}));
    QCOMPARE(question(d), QStringLiteral("24:8"));
    QVERIFY(f->isHidden());
    d->close();
    QVERIFY(f->isVisible());
}

void ArithWindowsTest::randomTableCanAskTheTableOfOne() {
    Harness h("[OsztRadioButtonok]\nRBV=1\n[SzorozRadioButtonok]\nRB2=0\n");
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    ArithWindow* d = h.app->OsztasForm;
    script(h, {4, 0});  // quotient 5, random table 1
    f->OsztBtn->click();
    QCOMPARE(d->selectedButton(), 9);
    QCOMPARE(question(d), QStringLiteral("5:1"));
    d->close();

    // Nothing selected: the table on screen stays, the factor is new.
    ArithWindow* m = h.app->SzorzasForm;
    script(h, {3, 5, 1, 7});  // 4*10, then 2*10
    f->SzorozBtn->click();
    QCOMPARE(m->selectedButton(), -1);
    QCOMPARE(question(m), QStringLiteral("4*10"));
    answer(m, "40");
    QCOMPARE(h.player.cues.last(), QStringLiteral("Perfect"));
    QCOMPARE(question(m), QStringLiteral("2*10"));
}

void ArithWindowsTest::everyControlIsNamedAndTheAnswerComesFirst() {
    Harness h;
    h.start();
    h.app->Form1->show();
    for (ArithWindow* w : {(ArithWindow*)h.app->OsszeadForm, (ArithWindow*)h.app->KivonForm,
                           (ArithWindow*)h.app->SzorzasForm, (ArithWindow*)h.app->OsztasForm}) {
        w->ensureBuilt();  // as it is when opened
        QCOMPARE(firstTabStop(w), w->Annyi);
        QCOMPARE(w->Annyi->maxLength(), w->data().answerLength);
        for (QWidget* c : w->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (c->isWindow()) continue;  // pop-up menus
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c);
            QVERIFY(a);
            QVERIFY2(!a->text(QAccessible::Name).trimmed().isEmpty(),
                     qPrintable(w->objectName() + "/" + c->objectName()));
        }
    }
}

QTEST_MAIN(ArithWindowsTest)
// Built without the program, a drill window reads and writes the settings
// file of its shell, draws from its shell's randomness and plays its cues
// through it.
void ArithWindowsTest::aWindowNeedsOnlyItsShell() {
    testkit::FakeShell shell;
    std::ofstream(shell.iniPath()) << "[SzorozTimer]\nIdoScroll=45\n[SzorozRadioButtonok]\nRB2=0\nRB5=1\n";
    *shell.script = {3, 4, 5, 6, 7, 8};
    {
        TSzorzasForm w(shell, nullptr);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(int(w.drill().state().TimeLimit), 45);
        QCOMPARE(w.controls()->IdoScroll->value(), 45);  // the bar shows the drill's limit
        QCOMPARE(w.selectedButton(), 3);  // "5-ös"
        QCOMPARE(shell.cues, std::vector<kob::Cue>{kob::Cue::DragonBall});
        QVERIFY(shell.script->size() < 6);  // the first question drew from it
        answer(&w, QString::number(w.Hanyszor->text().toInt() * w.Mennyi->text().toInt()));
        QCOMPARE(shell.cues.back(), kob::Cue::Perfect);
        w.RB[1]->click();  // "3-as"
        w.close();
        QCOMPARE(shell.cues.back(), kob::Cue::ByeBye);
    }
    std::ifstream in(shell.iniPath());
    const QString ini = QString::fromStdString(std::string(std::istreambuf_iterator<char>(in), {}));
    QCOMPARE(section(ini, "SzorozTimer"), QStringLiteral("IdoScroll=45\n"));
    const QString buttons = section(ini, "SzorozRadioButtonok");
    QVERIFY2(buttons.contains(QStringLiteral("RB3=1\n")) && buttons.contains(QStringLiteral("RB5=0\n")),
             qPrintable(buttons));
    QVERIFY(shell.errors.isEmpty());
}

#include "arith_windows_qtest.moc"
