// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The conversion windows driven as the pupil drives them: from the main
// menu through the chooser, keys into the fields, clicks on the buttons,
// and what the window shows, plays, logs and remembers.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include "app/main_window.h"
#include "app/skin_manager.h"
#include "drill/answer_log.h"
#include "drill/drill_controls.h"
#include "measure/conversion_windows.h"
#include "measure/mertek_form.h"
#include "drill/drill_ui.h"
#include "support/testkit.h"

using testkit::Harness;
using testkit::child;

namespace {

// The background of a field as drawn, taken inside its right padding.
QColor background(QLineEdit* f) {
    const QImage img = f->grab().toImage();
    return img.pixelColor(img.width() - 5, img.height() / 2);
}

// Whether any pixel of the field's drawing is (nearly) this colour.
bool drawsColour(QLineEdit* f, const QColor& c) {
    const QImage img = f->grab().toImage();
    for (int y = 4; y < img.height() - 4; ++y)
        for (int x = 8; x < img.width() - 8; ++x) {
            const QColor p = img.pixelColor(x, y);
            if (qAbs(p.red() - c.red()) < 40 && qAbs(p.green() - c.green()) < 40 && qAbs(p.blue() - c.blue()) < 40)
                return true;
        }
    return false;
}

const QColor kBlue(0, 0, 255), kWhite(255, 255, 255), kGreen(0, 128, 0), kRed(255, 0, 0), kBlack(0, 0, 0);

QString lastLogLine(kobui::AnswerLog* memo) { return memo->lastLine(); }
QColor lastLogColour(kobui::AnswerLog* memo) { return memo->lineColour(memo->lineCount() - 1); }

// Opens a drill the way the pupil does: main menu, chooser, measure button.
void openFromMenu(Harness& h, QPushButton* measure) {
    if (!h.app->Form1->isVisible() && !h.app->MertekForm->isVisible()) h.app->Form1->show();
    if (h.app->Form1->isVisible()) QTest::mouseClick(h.app->Form1->MertekBtn, Qt::LeftButton);
    QTest::mouseClick(measure, Qt::LeftButton);
}

QString counters(ConversionWindow* w) {
    kobui::DrillControls* d = w->controls();
    return QStringLiteral("%1 %2 %3 %4")
        .arg(d->OsszSzam->text(), d->JoSzam->text(), d->RosszSzam->text(), d->IdonTulSzam->text());
}

}  // namespace

class ConversionWindowTest : public QObject {
    Q_OBJECT
private slots:
    void lengthTaskByKeysAndClicks();
    void lateWrongTaskIsRedAndMarked();
    void fieldKeysPassOnlyNumbers();
    void pendingTaskSurvivesClosingAndReopening();
    void switchesHideFieldsAndTheGivenUnitIsSwitchedOn();
    void withoutAGivenUnitNothingIsDrawn();
    void settingsLoadedOnceAndStoredAtEveryClose();
    void spinBoxesRefuseOtherKeysWithABeep();
    void spinBoxesTakeNumberKeysAndClampWhenLeft();
    void arrowKeysChooseTheGivenUnitAndKeepTheFocus();
    void logKeepsItsEmptyFirstLineForTheRun();
    void volumeFirstMaximumReappliesTheTimeLimit();
    void areaVolumeAndMassRowsRaisedDigitsAndLabelWidths();
    void backgroundClickAndAccessibleNames();
    void theRoundedFrameKeepsItsWholeLineInEverySkin();
};

void ConversionWindowTest::lengthTaskByKeysAndClicks() {
    Harness h;
    h.script->assign({1, 4});  // the drawn value 2, then 5
    h.start();
    openFromMenu(h, h.app->MertekForm->Hosszusag);
    ConversionWindow* w = h.app->HosszuForm;
    QVERIFY(w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("Kobaltfa -- Hosszúság átváltás --"));
    QCOMPARE(h.player.cues, (QStringList{"Hello", "DragonBall"}));
    QCOMPARE(counters(w), QStringLiteral("0 0 0 0"));
    QCOMPARE(w->controls()->MennyiIdoVanRaSzoveg->text(), QStringLiteral("30 mp"));

    auto* Kovetkezo = child<QPushButton>(w, "Kovetkezo");
    auto* EllenBtn = child<QPushButton>(w, "EllenBtn");
    QVERIFY(Kovetkezo->isEnabled());
    QVERIFY(!EllenBtn->isEnabled());
    QVERIFY(!w->controls()->ElteltIdo->isActive());

    QTest::mouseClick(child<QRadioButton>(w, "RBNm"), Qt::LeftButton);
    QTest::mouseClick(Kovetkezo, Qt::LeftButton);
    QLineEdit* f[5] = {child<QLineEdit>(w, "Nkm"), child<QLineEdit>(w, "Nm"), child<QLineEdit>(w, "Ndm"),
                       child<QLineEdit>(w, "Ncm"), child<QLineEdit>(w, "Nmm")};
    QCOMPARE(f[1]->text(), QStringLiteral("2"));
    QCOMPARE(background(f[1]), kBlue);
    QVERIFY(drawsColour(f[1], kWhite));  // the given value in white
    QCOMPARE(background(f[0]), kWhite);
    QVERIFY(!Kovetkezo->isEnabled());
    QVERIFY(EllenBtn->isEnabled());
    QVERIFY(w->controls()->ElteltIdo->isActive());
    QCOMPARE(w->controls()->ElteltIdo->interval(), 1000);
    QCOMPARE(w->focusWidget(), f[0]);  // the first field waiting for an answer

    QTest::keyClicks(f[0], QStringLiteral("0,002"));
    QCOMPARE(f[0]->text(), QStringLiteral("0.002"));
    QTest::keyClicks(f[2], QStringLiteral("20"));
    QTest::keyClicks(f[3], QStringLiteral("200.0"));
    QTest::keyClicks(f[4], QStringLiteral("2000"));
    QTest::mouseClick(EllenBtn, Qt::LeftButton);

    QCOMPARE(h.player.cues.last(), QStringLiteral("Perfect"));
    QCOMPARE(counters(w), QStringLiteral("1 1 0 0"));
    QCOMPARE(w->controls()->Csik->value(), 100);
    QCOMPARE(lastLogLine(w->controls()->Memo), QStringLiteral("0.002 km 2 m 20 dm 200.0 cm 2000 mm "));
    QCOMPARE(lastLogColour(w->controls()->Memo), kGreen);
    for (int i : {0, 2, 3, 4}) QCOMPARE(background(f[i]), kGreen);
    QCOMPARE(background(f[1]), kBlue);
    for (QLineEdit* e : f) QVERIFY(e->isReadOnly());
    QVERIFY(Kovetkezo->isEnabled());
    QVERIFY(!EllenBtn->isEnabled());
    QVERIFY(!w->controls()->ElteltIdo->isActive());

    // A click on the choice already selected recolours the rows all the same.
    QTest::mouseClick(child<QRadioButton>(w, "RBNm"), Qt::LeftButton);
    QCOMPARE(background(f[0]), kWhite);
    QCOMPARE(background(f[1]), kBlue);
    QCOMPARE(f[4]->text(), QStringLiteral("2000"));  // nothing is cleared

    // The next task empties the fields with their typing history.
    QTest::mouseClick(Kovetkezo, Qt::LeftButton);
    QCOMPARE(f[1]->text(), QStringLiteral("5"));
    for (int i : {0, 2, 3, 4}) {
        QVERIFY(f[i]->text().isEmpty());
        QVERIFY(!f[i]->isUndoAvailable());
    }
}

void ConversionWindowTest::lateWrongTaskIsRedAndMarked() {
    Harness h("[HosszuTimer]\nIdoScroll=2\n[HosszuRadioButtonok]\nRBNcm=1\n");
    h.script->assign({6, 0});  // 7 cm, then 1 cm
    h.start();
    openFromMenu(h, h.app->MertekForm->Hosszusag);
    ConversionWindow* w = h.app->HosszuForm;
    QTest::mouseClick(child<QPushButton>(w, "Kovetkezo"), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(w, "Ncm")->text(), QStringLiteral("7"));
    QTest::keyClicks(child<QLineEdit>(w, "Nkm"), QStringLiteral("0.00007"));
    QTest::keyClicks(child<QLineEdit>(w, "Nm"), QStringLiteral("0,07"));
    QTest::keyClicks(child<QLineEdit>(w, "Ndm"), QStringLiteral(".7"));
    QTest::keyClicks(child<QLineEdit>(w, "Nmm"), QStringLiteral("7"));  // 70 is right
    // The limit is 2 s: the third tick makes the answer late.
    w->ElteltIdoTimer();
    w->ElteltIdoTimer();
    QVERIFY(!w->engine().drill().LateFlag);
    QCOMPARE(w->controls()->IdoCsik->value(), 0);
    w->ElteltIdoTimer();
    QVERIFY(w->engine().drill().LateFlag);
    QTest::mouseClick(child<QPushButton>(w, "EllenBtn"), Qt::LeftButton);

    QCOMPARE(h.player.cues.last(), QStringLiteral("Missed"));
    QCOMPARE(counters(w), QStringLiteral("1 0 1 1"));
    QCOMPARE(w->controls()->Csik->value(), 0);
    QCOMPARE(lastLogLine(w->controls()->Memo), QStringLiteral("0.00007 km 0.07 m .7 dm 7 cm 7 mm  ^"));
    QCOMPARE(lastLogColour(w->controls()->Memo), kRed);
    QCOMPARE(background(child<QLineEdit>(w, "Nmm")), kRed);
    QCOMPARE(background(child<QLineEdit>(w, "Nm")), kGreen);
    QCOMPARE(background(child<QLineEdit>(w, "Ncm")), kBlue);
    QVERIFY(drawsColour(child<QLineEdit>(w, "Nmm"), kBlack));  // the text keeps its colour
    QCOMPARE(w->engine().drill().ElapsedSeconds, 0);

    // The next task makes the fields white and editable again.
    QTest::mouseClick(child<QPushButton>(w, "Kovetkezo"), Qt::LeftButton);
    QCOMPARE(background(child<QLineEdit>(w, "Nmm")), kWhite);
    QVERIFY(!child<QLineEdit>(w, "Nmm")->isReadOnly());
    QVERIFY(child<QLineEdit>(w, "Nmm")->text().isEmpty());
    QCOMPARE(child<QLineEdit>(w, "Ncm")->text(), QStringLiteral("1"));
}

void ConversionWindowTest::fieldKeysPassOnlyNumbers() {
    Harness h("[TomegRadioButtonok]\nRBNkm=1\n");
    h.script->assign({3});  // 4 t
    h.start();
    openFromMenu(h, h.app->MertekForm->TomegBtn);
    ConversionWindow* w = h.app->TomegForm;
    QTest::mouseClick(child<QPushButton>(w, "Kovetkezo"), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(w, "Nkm")->text(), QStringLiteral("4"));
    QLineEdit* kg = child<QLineEdit>(w, "Ndm");
    h.player.clear();
    QTest::keyClicks(kg, QStringLiteral("a1 -2+e,5x."));
    QTest::sendKeyEvent(QTest::Click, kg, Qt::Key_Eacute, QStringLiteral("é"), Qt::NoModifier);
    QCOMPARE(kg->text(), QStringLiteral("12.5."));
    QTest::keyClick(kg, Qt::Key_Backspace);
    QCOMPARE(kg->text(), QStringLiteral("12.5"));
    // Enter passes and triggers nothing.
    QTest::keyClick(kg, Qt::Key_Return);
    QTest::keyClick(kg, Qt::Key_Enter);
    QVERIFY(h.player.cues.isEmpty());
    QCOMPARE(counters(w), QStringLiteral("0 0 0 0"));
    QVERIFY(child<QPushButton>(w, "EllenBtn")->isEnabled());
    // Points are not counted by the filter.
    QTest::keyClicks(kg, QStringLiteral(".3"));
    QCOMPARE(kg->text(), QStringLiteral("12.5.3"));
    // Pasted text keeps what could have been typed.
    QLineEdit* g = child<QLineEdit>(w, "Nmm");
    g->setFocus();
    QTest::keyClicks(g, QStringLiteral("4"));
    emit g->textEdited(QStringLiteral("4 kg, 5"));
    QCOMPARE(g->text(), QStringLiteral("4.5"));
}

void ConversionWindowTest::pendingTaskSurvivesClosingAndReopening() {
    Harness h("[TeruletRadioButtonok]\nRBHa=1\n");
    h.script->assign({36});  // 37 ha
    h.start();
    TMertekForm* m = h.app->MertekForm;
    openFromMenu(h, m->TeruletBtn);
    ConversionWindow* w = h.app->TeruletForm;
    QTest::mouseClick(child<QPushButton>(w, "Kovetkezo"), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(w, "Ha")->text(), QStringLiteral("37"));
    QTest::keyClicks(child<QLineEdit>(w, "Nkm"), QStringLiteral("0.37"));

    h.player.clear();
    QTest::mouseClick(w->controls()->sButton1, Qt::LeftButton);
    QVERIFY(!w->isVisible());
    QVERIFY(m->isVisible());
    // Hidden, the task is still open and its clock still runs.
    QVERIFY(w->controls()->ElteltIdo->isActive());
    w->ElteltIdoTimer();
    QCOMPARE(w->engine().drill().ElapsedSeconds, 1);

    QTest::mouseClick(m->TeruletBtn, Qt::LeftButton);
    QVERIFY(w->isVisible());
    QCOMPARE(h.player.cues, (QStringList{"ByeBye", "DragonBall"}));
    QCOMPARE(counters(w), QStringLiteral("0 0 0 0"));
    QCOMPARE(w->engine().drill().AskedCount, 1);
    QCOMPARE(w->engine().drill().ElapsedSeconds, 0);
    QVERIFY(child<QPushButton>(w, "EllenBtn")->isEnabled());
    QCOMPARE(child<QLineEdit>(w, "Nkm")->text(), QStringLiteral("0.37"));

    const char* rest[][2] = {{"Nm", "370000"}, {"Ndm", "37000000"}, {"Ncm", "3700000000"}, {"Nmm", "370000000000"}};
    for (const auto& r : rest) QTest::keyClicks(child<QLineEdit>(w, r[0]), QString::fromLatin1(r[1]));
    QTest::mouseClick(child<QPushButton>(w, "EllenBtn"), Qt::LeftButton);
    QCOMPARE(h.player.cues.last(), QStringLiteral("Perfect"));
    QCOMPARE(counters(w), QStringLiteral("1 1 0 0"));
    QCOMPARE(w->controls()->Csik->value(), 100);

    // Back to the main window one level at a time.
    h.player.clear();
    w->close();
    QVERIFY(m->isVisible());
    m->close();
    QVERIFY(h.app->Form1->isVisible());
    QCOMPARE(h.player.cues, (QStringList{"ByeBye", "ByeBye"}));
}

void ConversionWindowTest::switchesHideFieldsAndTheGivenUnitIsSwitchedOn() {
    Harness h;
    h.script->assign({2});  // 3 km2
    h.start();
    openFromMenu(h, h.app->MertekForm->TeruletBtn);
    ConversionWindow* w = h.app->TeruletForm;
    QCheckBox* CHa = child<QCheckBox>(w, "CHa");
    QCheckBox* CNkm = child<QCheckBox>(w, "CNkm");
    QLineEdit* Ha = child<QLineEdit>(w, "Ha");
    QTest::mouseClick(CHa, Qt::LeftButton);
    QVERIFY(Ha->isHidden());
    QTest::mouseClick(CNkm, Qt::LeftButton);
    QVERIFY(child<QLineEdit>(w, "Nkm")->isHidden());
    // Choosing km2 switches its row back on.
    QTest::mouseClick(child<QRadioButton>(w, "RBNkm"), Qt::LeftButton);
    QVERIFY(CNkm->isChecked());
    QVERIFY(!child<QLineEdit>(w, "Nkm")->isHidden());
    QVERIFY(Ha->isHidden());

    QTest::mouseClick(child<QPushButton>(w, "Kovetkezo"), Qt::LeftButton);
    const char* right[][2] = {{"Nm", "3000000"}, {"Ndm", "300000000"}, {"Ncm", "30000000000"}, {"Nmm", "3000000000000"}};
    for (const auto& r : right) QTest::keyClicks(child<QLineEdit>(w, r[0]), QString::fromLatin1(r[1]));
    QTest::mouseClick(child<QPushButton>(w, "EllenBtn"), Qt::LeftButton);
    QCOMPARE(h.player.cues.last(), QStringLiteral("Perfect"));
    QCOMPARE(lastLogLine(w->controls()->Memo),
             QStringLiteral("3 km2  3000000 m2 300000000 dm2 30000000000 cm2 3000000000000 mm2 "));
    // The hidden field was judged too and shows its colour when switched on.
    QTest::mouseClick(CHa, Qt::LeftButton);
    QVERIFY(!Ha->isHidden());
    QCOMPARE(background(Ha), kRed);
}

void ConversionWindowTest::withoutAGivenUnitNothingIsDrawn() {
    Harness h;
    h.script->assign({5});
    h.start();
    openFromMenu(h, h.app->MertekForm->Hosszusag);
    ConversionWindow* w = h.app->HosszuForm;
    QTest::mouseClick(child<QPushButton>(w, "Kovetkezo"), Qt::LeftButton);
    for (const auto& r : w->unitControls()) QVERIFY(r.field->text().isEmpty());
    QCOMPARE(h.script->size(), size_t(1));  // nothing was drawn
    QTest::mouseClick(child<QPushButton>(w, "EllenBtn"), Qt::LeftButton);
    QCOMPARE(h.player.cues.last(), QStringLiteral("Perfect"));
    QCOMPARE(lastLogLine(w->controls()->Memo), QStringLiteral(" km  m  dm  cm  mm "));
}

void ConversionWindowTest::settingsLoadedOnceAndStoredAtEveryClose() {
    Harness h("[HosszuTimer]\nIdoScroll=500\n"
              "[HosszuSpinek]\nSpinKm=5000\nSpinNm=1234\n"
              "[HosszuCheckBoxok]\nCNdm=0\n"
              "[HosszuRadioButtonok]\nRBNm=1\nRBNmm=1\n");
    h.start();
    ConversionWindow* w = h.app->HosszuForm;
    // Editing the file while the program runs changes nothing: the windows
    // read it once, at start, even though their controls are built later.
    h.writeIni("[HosszuTimer]\nIdoScroll=7\n[HosszuSpinek]\nSpinNcm=10\n");
    w->ensureBuilt();
    h.app->TomegForm->ensureBuilt();
    QCOMPARE(w->controls()->IdoScroll->value(), 120);
    QCOMPARE(w->controls()->MennyiIdoVanRaSzoveg->text(), QStringLiteral("120 mp"));
    QCOMPARE(child<QSpinBox>(w, "SpinKm")->value(), 1000);
    QCOMPARE(child<QSpinBox>(w, "SpinNm")->value(), 1234);
    QCOMPARE(child<QSpinBox>(w, "SpinNdm")->value(), 5000000);
    QVERIFY(!child<QCheckBox>(w, "CNdm")->isChecked());
    QVERIFY(child<QLineEdit>(w, "Ndm")->isHidden());
    QVERIFY(child<QRadioButton>(w, "RBNmm")->isChecked());
    QVERIFY(!child<QRadioButton>(w, "RBNm")->isChecked());
    QCOMPARE(background(child<QLineEdit>(w, "Nmm")), kBlue);
    // The other windows took their defaults; no given unit there.
    QCOMPARE(child<QSpinBox>(h.app->TomegForm, "SpinNm")->value(), 500000);
    QCOMPARE(child<QSpinBox>(h.app->TomegForm, "SpinKm")->value(), 50);
    QVERIFY(!child<QRadioButton>(h.app->TomegForm, "RBNkm")->isChecked());

    openFromMenu(h, h.app->MertekForm->Hosszusag);
    QCOMPARE(child<QSpinBox>(w, "SpinNcm")->value(), 5000000);
    child<QSpinBox>(w, "SpinNcm")->setValue(70000);
    child<QSpinBox>(w, "SpinNdm")->setValue(20000);
    w->controls()->IdoScroll->setValue(45);
    QTest::mouseClick(child<QRadioButton>(w, "RBNkm"), Qt::LeftButton);
    w->close();
    const QString ini = QString::fromStdString(h.readIni());
    QVERIFY2(ini.contains(QStringLiteral("[HosszuTimer]\nIdoScroll=45\n")), qPrintable(ini));
    QVERIFY2(ini.contains(QStringLiteral("[HosszuSpinek]\nSpinNcm=70000\nSpinKm=1000\nSpinNm=1234\nSpinNdm=20000\n"
                                         "SpinNmm=5000000\n")),
             qPrintable(ini));
    QVERIFY(ini.contains(QStringLiteral("[HosszuCheckBoxok]\nCNkm=1\nCNm=1\nCNdm=0\nCNcm=1\nCNmm=1\n")));
    QVERIFY(ini.contains(QStringLiteral("[HosszuRadioButtonok]\nRBNkm=1\nRBNm=0\nRBNdm=0\nRBNcm=0\nRBNmm=0\n")));

    // A second close writes again; a new key order in a fresh file shows the
    // writing order: SpinNcm before SpinNdm.
    h.writeIni("");
    openFromMenu(h, h.app->MertekForm->Hosszusag);
    w->close();
    const QString fresh = QString::fromStdString(h.readIni());
    QVERIFY2(fresh.contains(QString::fromStdString(
                 testkit::newFileText("SpinKm=1000\nSpinNm=1234\nSpinNcm=70000\nSpinNdm=20000\nSpinNmm=5000000\n"))),
             qPrintable(fresh));
}

void ConversionWindowTest::spinBoxesRefuseOtherKeysWithABeep() {
    Harness h;
    h.start();
    openFromMenu(h, h.app->MertekForm->Hosszusag);
    ConversionWindow* w = h.app->HosszuForm;
    QSpinBox* s = child<QSpinBox>(w, "SpinNm");
    QCOMPARE(s->locale(), QLocale::c());
    QCOMPARE(s->singleStep(), 1000);
    QCOMPARE(s->maximum(), 5000000);
    s->setFocus();
    s->selectAll();
    QTest::keyClicks(s, QStringLiteral("12a b"));
    QTest::keyClick(s, Qt::Key_Return);
    QCOMPARE(s->text(), QStringLiteral("12"));
    QTest::keyClick(s, Qt::Key_Backspace);
    QCOMPARE(s->text(), QStringLiteral("1"));
    QTest::keyClick(s, Qt::Key_Up);
    QCOMPARE(s->value(), 1001);

    QCOMPARE(s->findChild<QLineEdit*>()->maxLength(), 10);

    // A box left empty counts as its minimum and shows it once left.
    QSpinBox* km = child<QSpinBox>(w, "SpinKm");
    km->setFocus();
    km->selectAll();
    QTest::keyClick(km, Qt::Key_Backspace);
    QCOMPARE(km->text(), QString());
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(km, &leave);
    QCOMPARE(km->text(), QStringLiteral("0"));
    QCOMPARE(km->value(), 0);
}

void ConversionWindowTest::spinBoxesTakeNumberKeysAndClampWhenLeft() {
    Harness h("[TeruletRadioButtonok]\nRBNkm=1\n");
    h.script->assign({149});
    h.start();
    openFromMenu(h, h.app->MertekForm->TeruletBtn);
    ConversionWindow* w = h.app->TeruletForm;
    QVERIFY(QTest::qWaitForWindowActive(w));
    QSpinBox* km = child<QSpinBox>(w, "SpinKm");  // 0 .. 100
    QSpinBox* nm = child<QSpinBox>(w, "SpinNm");  // 0 .. 5000000
    const auto type = [](QSpinBox* s, const QString& keys) {
        s->setFocus();
        s->selectAll();
        QTest::keyClicks(s, keys);
    };
    const auto leave = [&](QSpinBox* s) {
        QTest::keyClick(s, Qt::Key_Tab);
        QVERIFY(!s->hasFocus());
    };

    // Every key of a number goes in; the box holds the text until it is left.
    type(km, QStringLiteral("150"));
    QCOMPARE(km->text(), QStringLiteral("150"));
    // A task drawn meanwhile takes the maximum within the bounds: 100 km2.
    w->KovetkezoClick();
    QCOMPARE(w->unitControls()[0].field->text(), QStringLiteral("50"));  // 149 % 100 + 1
    leave(km);
    QCOMPARE(km->text(), QStringLiteral("100"));
    QCOMPARE(km->value(), 100);

    const struct {
        const char* keys;
        const char* held;
        const char* settled;
    } cases[] = {
        {"9999999", "9999999", "5000000"}, {"-5", "-5", "0"},  {"5.5", "5.5", "0"},
        {"-", "-", "0"},                   {"+7", "+7", "7"},  {"0070", "0070", "70"},
        {"1a,b 2", "12", "12"},  // the others are refused, each with a beep
    };
    for (const auto& c : cases) {
        type(nm, QString::fromLatin1(c.keys));
        QCOMPARE(nm->text(), QString::fromLatin1(c.held));
        QTest::keyClick(nm, Qt::Key_Return);  // refused too: nothing settles
        QCOMPARE(nm->text(), QString::fromLatin1(c.held));
        leave(nm);
        QCOMPARE(nm->text(), QString::fromLatin1(c.settled));
        QCOMPARE(nm->value(), QString::fromLatin1(c.settled).toInt());
    }

    // The arrows step from the settled value.
    type(nm, QStringLiteral("-"));
    QTest::keyClick(nm, Qt::Key_Up);
    QCOMPARE(nm->value(), 0);
    QTest::keyClick(nm, Qt::Key_Up);
    QCOMPARE(nm->value(), 1000);

    // Closed while the box still holds its typed text, the file gets the
    // whole number of that text, or 0; the box settles as it hides.
    type(km, QStringLiteral("150"));
    w->close();
    QString ini = QString::fromStdString(h.readIni());
    QVERIFY2(ini.contains(QStringLiteral("[TeruletSpinek]\nSpinKm=150\n")), qPrintable(ini));
    QCOMPARE(km->text(), QStringLiteral("100"));
    openFromMenu(h, h.app->MertekForm->TeruletBtn);
    type(nm, QStringLiteral("5.5"));
    w->close();
    ini = QString::fromStdString(h.readIni());
    QVERIFY2(ini.contains(QStringLiteral("[TeruletSpinek]\nSpinKm=100\nSpinHa=5000\nSpinNm=0\n")), qPrintable(ini));
}

void ConversionWindowTest::arrowKeysChooseTheGivenUnitAndKeepTheFocus() {
    Harness h("[HosszuRadioButtonok]\nRBNkm=1\n");
    h.start();
    openFromMenu(h, h.app->MertekForm->Hosszusag);
    ConversionWindow* w = h.app->HosszuForm;
    QVERIFY(QTest::qWaitForWindowActive(w));
    auto* km = child<QRadioButton>(w, "RBNkm");
    auto* m = child<QRadioButton>(w, "RBNm");
    QCOMPARE(QApplication::focusWidget(), km);
    QTest::keyClick(km, Qt::Key_Right);
    QVERIFY(m->isChecked());
    QCOMPARE(background(child<QLineEdit>(w, "Nm")), kBlue);
    QCOMPARE(background(child<QLineEdit>(w, "Nkm")), kWhite);
    // Choosing the unit moves no focus: the pupil goes on with Tab.
    QCOMPARE(QApplication::focusWidget(), m);
}

void ConversionWindowTest::logKeepsItsEmptyFirstLineForTheRun() {
    Harness h("[TomegRadioButtonok]\nRBNkm=1\n");
    h.script->assign({0, 0});  // 1 t in both tasks
    h.start();
    ConversionWindow* w = h.app->TomegForm;
    openFromMenu(h, h.app->MertekForm->TomegBtn);
    kobui::AnswerLog* memo = w->controls()->Memo;
    QCOMPARE(memo->lineCount(), 1);
    QCOMPARE(memo->line(0), QString());

    const auto task = [&](const QString& kg) {
        QTest::mouseClick(w->Kovetkezo, Qt::LeftButton);
        QTest::keyClicks(w->unitControls()[2].field, kg);
        QTest::mouseClick(w->EllenBtn, Qt::LeftButton);
    };
    task(QStringLiteral("1000"));  // 1 t given
    QCOMPARE(memo->lineCount(), 2);
    QCOMPARE(memo->line(0), QString());
    QCOMPARE(memo->line(1), QStringLiteral("1 t  q 1000 kg  dkg  g "));

    // The first task is drawn on the second row.
    const QImage img = memo->viewport()->grab().toImage();
    const int lh = memo->verticalScrollBar()->singleStep();
    const auto reddish = [&](int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < img.width(); ++x) n += img.pixelColor(x, y).red() > 180 && img.pixelColor(x, y).green() < 80;
        return n;
    };
    QCOMPARE(reddish(0, kobui::kRoundedTextInset + lh), 0);
    QVERIFY(reddish(kobui::kRoundedTextInset + lh, kobui::kRoundedTextInset + 2 * lh) > 20);

    // Reopening keeps every line; typing into the log keeps the empty first
    // line too, and the next task lands below the rest.
    w->close();
    openFromMenu(h, h.app->MertekForm->TomegBtn);
    QCOMPARE(memo->lineCount(), 2);
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, QPoint(300, kobui::kRoundedTextInset + lh + lh / 2));
    QVERIFY(memo->editor());
    QCOMPARE(memo->lineCount(), 2);
    QCOMPARE(memo->line(0), QString());
    task(QStringLiteral("1000"));
    QCOMPARE(memo->lineCount(), 3);
    QCOMPARE(memo->line(0), QString());
    QCOMPARE(memo->line(1), QStringLiteral("1 t  q 1000 kg  dkg  g "));
    QCOMPARE(memo->line(2), memo->line(1));
}

void ConversionWindowTest::volumeFirstMaximumReappliesTheTimeLimit() {
    Harness h;
    h.start();
    ConversionWindow* v = h.app->TerfogatForm;
    ConversionWindow* l = h.app->HosszuForm;
    v->ensureBuilt();  // the values read at start reach the controls
    l->ensureBuilt();
    // Loading the default 50 over the built-in 100 ran the limit handler.
    QCOMPARE(v->controls()->MennyiIdoVanRaSzoveg->text(), QStringLiteral("30 mp"));
    QCOMPARE(v->controls()->IdoCsik->maximum(), 30);
    QCOMPARE(l->controls()->MennyiIdoVanRaSzoveg->text(), QStringLiteral("mp"));

    // Move both bars without their handlers, then step the first maximum.
    for (ConversionWindow* w : {static_cast<ConversionWindow*>(v), static_cast<ConversionWindow*>(l)}) {
        QSignalBlocker b(w->controls()->IdoScroll);
        w->controls()->IdoScroll->setValue(45);
    }
    QTest::keyClick(child<QSpinBox>(v, "SpinKm"), Qt::Key_Up);
    QTest::keyClick(child<QSpinBox>(l, "SpinKm"), Qt::Key_Up);
    QCOMPARE(v->controls()->MennyiIdoVanRaSzoveg->text(), QStringLiteral("45 mp"));
    QCOMPARE(v->engine().drill().TimeLimit, 45);
    QCOMPARE(l->controls()->MennyiIdoVanRaSzoveg->text(), QStringLiteral("mp"));
    QCOMPARE(l->engine().drill().TimeLimit, 30);
}

void ConversionWindowTest::areaVolumeAndMassRowsRaisedDigitsAndLabelWidths() {
    Harness h;
    h.start();
    ConversionWindow* a = h.app->TeruletForm;
    a->ensureBuilt();
    h.app->TerfogatForm->ensureBuilt();
    QCOMPARE(a->size(), QSize(665, 426));
    QCOMPARE(a->windowTitle(), QStringLiteral("Kobaltfa -- Terület átváltás --"));
    const char* fields[] = {"Nkm", "Ha", "Nm", "Ndm", "Ncm", "Nmm"};
    const char* units[] = {"km", "ha", "m", "dm", "cm", "mm"};
    const char* choices[] = {"km2", "ha", "m2", "dm2", "cm2", "mm2"};
    for (int i = 0; i < 6; ++i) {
        const auto& r = a->unitControls()[size_t(i)];
        QCOMPARE(r.field->objectName(), QString::fromLatin1(fields[i]));
        QCOMPARE(r.field->geometry(), QRect(24, 16 + 40 * i, 201, 32));
        QCOMPARE(r.field->font().pixelSize(), 21);
        QCOMPARE(r.toggle->x(), 0);
        QCOMPARE(r.label->text(), QString::fromLatin1(units[i]));
        QCOMPARE(r.label->pos(), QPoint(232, 24 + 40 * i));
        QCOMPARE(r.choice->text(), QString::fromLatin1(choices[i]));
        QCOMPARE(r.spin->geometry(), QRect(288, 16 + 40 * i, 89, 22));
        QCOMPARE(r.raised != nullptr, i != 1);
        if (r.raised) {
            QCOMPARE(r.raised->text(), QStringLiteral("2"));
            QCOMPARE(r.raised->y(), r.label->y() - 8);
        }
    }
    QCOMPARE(child<QSpinBox>(a, "SpinHa")->singleStep(), 100);
    QCOMPARE(child<QSpinBox>(a, "SpinKm")->maximum(), 100);

    ConversionWindow* v = h.app->TerfogatForm;
    QCOMPARE(child<QLabel>(v, "sLabel3")->text(), QStringLiteral("liter"));
    for (const char* raised : {"sLabel11", "sLabel2", "sLabel7", "sLabel8"})
        QCOMPARE(child<QLabel>(v, raised)->text(), QStringLiteral("3"));
    QCOMPARE(child<QRadioButton>(v, "RBNkm")->text(), QStringLiteral("m3"));

    // The unit labels the windows give a width are 35 pixels wide; the
    // others are as wide as their text and a little air.
    ConversionWindow* m = h.app->TomegForm;
    m->ensureBuilt();
    QCOMPARE(child<QLabel>(v, "sLabel3")->geometry(), QRect(232, 72, 35, 22));
    QCOMPARE(child<QLabel>(m, "sLabel3")->geometry(), QRect(232, 72, 35, 22));
    QCOMPARE(child<QLabel>(m, "sLabel5")->geometry(), QRect(232, 168, 35, 22));
    const QLabel* kg = child<QLabel>(m, "sLabel4");
    QCOMPARE(kg->width(), kg->fontMetrics().horizontalAdvance(kg->text()) + 6);

    // The shared right column and the log.
    QCOMPARE(child<QPushButton>(a, "EllenBtn")->geometry(), QRect(384, 136, 217, 25));
    QCOMPARE(child<QPushButton>(a, "Kovetkezo")->text(), QStringLiteral("Következő feladat"));
    QCOMPARE(child<QGroupBox>(a, "Trg")->title(), QStringLiteral("Melyiket váltsuk át ?"));
    kobui::AnswerLog* memo = a->controls()->Memo;
    QCOMPARE(memo->geometry(), QRect(8, 296, 649, 121));
    QVERIFY(!memo->isReadOnly());
    QVERIFY(memo->frameShape() != QFrame::NoFrame);
    QCOMPARE(memo->font().pixelSize(), 19);
}

void ConversionWindowTest::backgroundClickAndAccessibleNames() {
    Harness h;
    h.start();
    openFromMenu(h, h.app->MertekForm->TerfogatBtn);
    ConversionWindow* w = h.app->TerfogatForm;
    h.player.clear();
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(300, 270));
    QCOMPARE(h.player.cues, QStringList{QStringLiteral("LeaveMeAlone")});
    QTest::mouseClick(child<QLabel>(w, "sLabel3"), Qt::LeftButton);
    QCOMPARE(h.player.cues.size(), 1);

    // Tab leads from the choices to the next task, the fields and the check.
    QCOMPARE(child<QRadioButton>(w, "RBNmm")->nextInFocusChain(), child<QWidget>(w, "Kovetkezo"));
    QCOMPARE(child<QWidget>(w, "Kovetkezo")->nextInFocusChain(), child<QWidget>(w, "Nkm"));
    QCOMPARE(child<QWidget>(w, "Nmm")->nextInFocusChain(), child<QWidget>(w, "EllenBtn"));

    QCOMPARE(child<QLineEdit>(w, "Nm")->accessibleName(), QStringLiteral("liter mező"));
    QCOMPARE(child<QCheckBox>(w, "CNkm")->accessibleName(), QStringLiteral("m3 bekapcsolva"));
    QCOMPARE(child<QSpinBox>(w, "SpinNmm")->accessibleName(), QStringLiteral("mm3 legnagyobb értéke"));
    for (QWidget* c : w->findChildren<QWidget*>()) {
        if (c->focusPolicy() == Qt::NoFocus || c->parentWidget() != w) continue;
        QVERIFY2(!c->accessibleName().isEmpty() || !c->property("text").toString().isEmpty() ||
                     !c->property("title").toString().isEmpty(),
                 qPrintable(c->objectName()));
    }
}

// The frame "Melyiket váltsuk át ?" is clipped to rounded corners. In every
// skin the clip takes away nothing the frame draws: its lower edge runs
// whole beneath the lower row of choices, corners included.
void ConversionWindowTest::theRoundedFrameKeepsItsWholeLineInEverySkin() {
    Harness h;
    h.start();
    openFromMenu(h, h.app->MertekForm->Hosszusag);
    ConversionWindow* w = h.app->HosszuForm;
    auto* trg = child<QGroupBox>(w, "Trg");
    for (const QString& skin : SkinManager::builtInNames()) {
        h.app->Form1->SkinMen()->setSkinName(skin);
        const QRegion clip = trg->mask();
        QVERIFY(!clip.isEmpty());
        const QImage clipped = w->grab(trg->geometry()).toImage();
        trg->clearMask();
        const QImage whole = w->grab(trg->geometry()).toImage();
        trg->setMask(clip);
        int cut = 0;
        for (int y = 0; y < whole.height(); ++y)
            for (int x = 0; x < whole.width(); ++x) {
                const QColor a = whole.pixelColor(x, y), b = clipped.pixelColor(x, y);
                const int d = std::max({qAbs(a.red() - b.red()), qAbs(a.green() - b.green()), qAbs(a.blue() - b.blue())});
                if (d > 48) ++cut;
            }
        QVERIFY2(cut == 0, qPrintable(QStringLiteral("%1: %2 pixels of the frame cut away").arg(skin).arg(cut)));
    }
}

QTEST_MAIN(ConversionWindowTest)
#include "conversion_window_qtest.moc"
