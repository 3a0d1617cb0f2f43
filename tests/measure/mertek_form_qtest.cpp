// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The measures chooser: its buttons, the way into the four drills and back
// one level at a time, and its cues.
#include <QPushButton>
#include <QtTest>

#include "app/main_window.h"
#include "measure/conversion_windows.h"
#include "measure/mertek_form.h"
#include "support/testkit.h"

using testkit::Harness;

class MertekFormTest : public QObject {
    Q_OBJECT
private slots:
    void laysOutEightButtons();
    void opensEachDrillAndComesBackOneLevelAtATime();
    void disabledMeasuresOpenNothing();
    void closeBoxGoesBackLikeTheBackButton();
    void backgroundClickSaysLeaveMeAlone();
    void aMeasureWorksOnceGivenItsDrill();
};

void MertekFormTest::laysOutEightButtons() {
    Harness h;
    h.start();
    TMertekForm* m = h.app->MertekForm;
    QCOMPARE(m->windowTitle(), QStringLiteral("Kobaltfa -- Mértékegységek váltása --"));
    QCOMPARE(m->size(), QSize(688, 167));
    QCOMPARE(m->cursor().shape(), Qt::UpArrowCursor);
    const struct {
        QPushButton* b;
        const char* caption;
        QPoint at;
        bool enabled;
    } expected[] = {
        {m->TeruletBtn, "Terület A (area)", {16, 8}, true},
        {m->Hosszusag, "Hosszúság l (longitudo)", {384, 8}, true},
        {m->TerfogatBtn, "Térfogat V (volumen)", {16, 48}, true},
        {m->TomegBtn, "Tömeg m (massa)", {384, 48}, true},
        {m->IdoBtn, "Idő t (tempus)", {16, 88}, false},
        {m->SzogBtn, "Szög", {384, 88}, false},
        {m->HomersekletBtn, "Hőmérséklet T (temperature)", {16, 128}, false},
        {m->VegeBtn, "<- Főmenű", {384, 128}, true},
    };
    QWidget* previous = nullptr;
    for (const auto& e : expected) {
        QCOMPARE(e.b->text(), QString::fromUtf8(e.caption));
        QCOMPARE(e.b->geometry(), QRect(e.at, QSize(289, 25)));
        QCOMPARE(e.b->isEnabled(), e.enabled);
        QCOMPARE(e.b->font().pixelSize(), 16);
        QVERIFY(e.b->font().bold());
        QCOMPARE(e.b->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(!e.b->accessibleName().isEmpty());
        // Tab goes through the table's order.
        if (previous) QCOMPARE(previous->nextInFocusChain(), static_cast<QWidget*>(e.b));
        previous = e.b;
    }
}

void MertekFormTest::opensEachDrillAndComesBackOneLevelAtATime() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    TMertekForm* m = h.app->MertekForm;
    f->show();
    h.player.clear();
    QTest::mouseClick(f->MertekBtn, Qt::LeftButton);
    QVERIFY(m->isVisible());
    QVERIFY(!f->isVisible());
    QVERIFY(h.player.cues.isEmpty());  // the chooser opens silently

    const struct {
        QPushButton* button;
        QWidget* drill;
    } routes[] = {
        {m->TeruletBtn, h.app->TeruletForm},
        {m->Hosszusag, h.app->HosszuForm},
        {m->TerfogatBtn, h.app->TerfogatForm},
        {m->TomegBtn, h.app->TomegForm},
        {m->TeruletBtn, h.app->TeruletForm},
    };
    for (const auto& r : routes) {
        h.player.clear();
        QTest::mouseClick(r.button, Qt::LeftButton);
        QVERIFY(r.drill->isVisible());
        QVERIFY(!m->isVisible());
        QVERIFY(!f->isVisible());
        QCOMPARE(r.drill->windowModality(), Qt::ApplicationModal);
        QCOMPARE(h.player.cues, QStringList{QStringLiteral("DragonBall")});
        QPushButton* back = r.drill->findChild<QPushButton*>(QStringLiteral("sButton1"));
        QVERIFY(back);
        QCOMPARE(back->text(), QStringLiteral("<- Főmenü"));
        QTest::mouseClick(back, Qt::LeftButton);
        QVERIFY(!r.drill->isVisible());
        QVERIFY(m->isVisible());
        QVERIFY(!f->isVisible());
        QCOMPARE(h.player.cues.last(), QStringLiteral("ByeBye"));
    }
    h.player.clear();
    QTest::mouseClick(m->VegeBtn, Qt::LeftButton);
    QVERIFY(!m->isVisible());
    QVERIFY(f->isVisible());
    QCOMPARE(h.player.cues, QStringList{QStringLiteral("ByeBye")});
}

void MertekFormTest::disabledMeasuresOpenNothing() {
    Harness h;
    h.start();
    h.app->Form1->show();
    h.app->Form1->MertekBtn->click();
    TMertekForm* m = h.app->MertekForm;
    for (QPushButton* b : {m->IdoBtn, m->SzogBtn, m->HomersekletBtn}) {
        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(m->isVisible());
        for (KobaltWindow* w : h.app->windows()) QCOMPARE(w->isVisible(), w == m);
    }
    QVERIFY(!h.player.cues.contains(QStringLiteral("DragonBall")));
}

void MertekFormTest::closeBoxGoesBackLikeTheBackButton() {
    Harness h;
    h.start();
    h.app->Form1->show();
    h.app->Form1->MertekBtn->click();
    h.player.clear();
    h.app->MertekForm->close();
    QVERIFY(!h.app->MertekForm->isVisible());
    QVERIFY(h.app->Form1->isVisible());
    QCOMPARE(h.player.cues, QStringList{QStringLiteral("ByeBye")});
}

void MertekFormTest::backgroundClickSaysLeaveMeAlone() {
    Harness h;
    h.start();
    h.app->Form1->show();
    h.app->Form1->MertekBtn->click();
    TMertekForm* m = h.app->MertekForm;
    h.player.clear();
    QTest::mouseClick(m, Qt::LeftButton, {}, QPoint(340, 20));  // between the two columns
    QCOMPARE(h.player.cues, QStringList{QStringLiteral("LeaveMeAlone")});
    QTest::mouseClick(m->TeruletBtn, Qt::LeftButton);  // a button is no background
    QCOMPARE(h.player.cues.count(QStringLiteral("LeaveMeAlone")), 1);
    QVERIFY(m->isVisible() == false);
}

QTEST_MAIN(MertekFormTest)
// A measure button is greyed until a drill is given to it; then it opens
// that drill over the chooser. A name no button has gives nothing.
void MertekFormTest::aMeasureWorksOnceGivenItsDrill() {
    testkit::FakeShell shell;
    TMertekForm m(shell, nullptr);
    KobaltWindow drill(shell, QStringLiteral("Probe"), QStringLiteral("Probe"), QSize(120, 60));
    QVERIFY(!m.IdoBtn->isEnabled());
    m.setDrill(QStringLiteral("IdoBtn"), &drill);
    m.setDrill(QStringLiteral("NoSuchBtn"), &drill);
    QVERIFY(m.IdoBtn->isEnabled());
    QVERIFY(!m.SzogBtn->isEnabled());
    m.show();
    m.IdoBtn->click();
    QVERIFY(drill.isVisible());
    QVERIFY(!m.isVisible());
}

#include "mertek_form_qtest.moc"
