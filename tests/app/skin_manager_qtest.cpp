// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The skin manager: a distinct look for every row of the skin table, unknown names drawn as Aluminium,
// every window (hidden ones too) redrawn on a switch, the colours the
// windows set on single controls kept in every skin, and the dark skins'
// card behind labels of a dark ink.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QtTest>

#include "kit/kobalt_window.h"
#include "app/main_window.h"
#include "app/skin_manager.h"
#include "app/skin_table.h"
#include "kit/ui_common.h"
#include "support/testkit.h"

namespace {

// The colour a skin paints at a point of the widget, rendered as the
// widget would be on screen (hidden widgets render all the same).
QColor pixelAt(QWidget* w, QPoint p) {
    w->ensurePolished();
    return w->grab().toImage().pixelColor(p);
}

// A point inside a button's face, left of the centred caption.
QPoint faceOf(const QPushButton* b) { return QPoint(6, b->height() / 2); }

int redTextPixels(QWidget* w) {
    const QImage img = w->grab().toImage();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 170 && c.green() < 90 && c.blue() < 90) ++n;
        }
    return n;
}

}  // namespace

class SkinManagerTest : public QObject {
    Q_OBJECT
private slots:
    void everyRowHasItsOwnSheet();
    void settingANameAppliesItsSheetAndPalette();
    void unknownNameIsKeptAndDrawnAsAluminium();
    void switchingReachesHiddenWindows();
    void eachSkinLooksDifferent();
    void widgetColourSurvivesEverySkin();
    void darkInkLabelsStayReadableInDarkSkins();
    void theCardFollowsTheInkProperty();
    void noFocusFrameButtonsKeepTheirBorderWhenFocused();
};

void SkinManagerTest::everyRowHasItsOwnSheet() {
    const QStringList names = SkinManager::builtInNames();
    QCOMPARE(names.size(), qsizetype(skins::table().size()));
    QSet<QString> sheets;
    for (const QString& n : names) {
        const QString qss = SkinManager::styleSheet(n);
        QVERIFY2(qss.contains(QLatin1String("QPushButton")), qPrintable(n));
        QVERIFY2(qss.contains(QLatin1String("KobaltWindow")), qPrintable(n));
        sheets.insert(qss);
    }
    QCOMPARE(sheets.size(), names.size());
}

void SkinManagerTest::settingANameAppliesItsSheetAndPalette() {
    SkinManager m;
    for (const QString& n : SkinManager::builtInNames()) {
        QSignalSpy spy(&m, &SkinManager::skinChanged);
        m.setSkinName(n);
        QCOMPARE(m.skinName(), n);
        QCOMPARE(m.drawnLook(), n);
        QCOMPARE(qApp->styleSheet(), SkinManager::styleSheet(n));
        QCOMPARE(QApplication::palette().color(QPalette::Window), SkinManager::palette(n).color(QPalette::Window));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), n);
    }
    // Smoky is the dark look: light text on a dark window.
    const QPalette smoky = SkinManager::palette(QStringLiteral("Smoky (internal)"));
    QVERIFY(smoky.color(QPalette::Window).lightness() < 80);
    QVERIFY(smoky.color(QPalette::WindowText).lightness() > 200);
}

void SkinManagerTest::unknownNameIsKeptAndDrawnAsAluminium() {
    const QString alu = SkinManager::defaultName();
    SkinManager m;
    testkit::FakeShell shell;
    KobaltWindow w(shell, QStringLiteral("Probe"), QStringLiteral("Probe"), QSize(200, 60));
    auto* b = new QPushButton(QStringLiteral("x"), &w);
    b->setGeometry(10, 10, 180, 25);

    m.setSkinName(alu);
    const QColor aluFace = pixelAt(b, faceOf(b));
    m.setSkinName(QStringLiteral("Beijing Ext (internal)"));
    const QColor beijingFace = pixelAt(b, faceOf(b));
    QVERIFY(aluFace != beijingFace);

    m.setSkinName(QStringLiteral("Pink Unicorn (external)"));
    QCOMPARE(m.skinName(), QStringLiteral("Pink Unicorn (external)"));
    QCOMPARE(m.drawnLook(), alu);
    QCOMPARE(qApp->styleSheet(), SkinManager::styleSheet(alu));
    QCOMPARE(pixelAt(b, faceOf(b)), aluFace);
    QCOMPARE(SkinManager::styleSheet(QStringLiteral("Pink Unicorn (external)")), SkinManager::styleSheet(alu));
}

void SkinManagerTest::switchingReachesHiddenWindows() {
    testkit::Harness h;
    h.start();
    TForm1* main = h.app->Form1;
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QPushButton* mainButton = main->findChild<QPushButton*>(QStringLiteral("MertekBtn"));
    QVERIFY(mainButton);

    // A button in every other window, all of them hidden.
    QList<QPushButton*> probes;
    for (KobaltWindow* w : h.app->windows()) {
        if (w == main) continue;
        QVERIFY(!w->isVisible());
        auto* b = new QPushButton(QStringLiteral("Próba"), w);
        b->setGeometry(0, 0, 200, 25);
        probes << b;
    }
    QCOMPARE(probes.size(), 10);

    QColor previous;
    for (const QString& n : SkinManager::builtInNames()) {
        main->SkinMen()->setSkinName(n);
        const QColor expected = pixelAt(mainButton, QPoint(6, mainButton->height() / 2));
        QVERIFY2(expected != previous, qPrintable(n));
        previous = expected;
        for (QPushButton* b : probes) {
            QVERIFY(!b->window()->isVisible());
            QCOMPARE(pixelAt(b, QPoint(6, b->height() / 2)), expected);
        }
    }
}

void SkinManagerTest::eachSkinLooksDifferent() {
    // Every pair of rows differs both in the window's ground and in a
    // button's face, so a copied row that draws like another one fails.
    SkinManager m;
    testkit::FakeShell shell;
    KobaltWindow w(shell, QStringLiteral("Probe"), QStringLiteral("Probe"), QSize(300, 120));
    auto* b = new QPushButton(QStringLiteral("Gomb"), &w);
    b->setGeometry(10, 10, 200, 25);
    const QStringList names = SkinManager::builtInNames();
    QList<QRgb> windows, buttons;
    for (const QString& n : names) {
        m.setSkinName(n);
        windows << pixelAt(&w, QPoint(280, 100)).rgb();
        buttons << pixelAt(b, faceOf(b)).rgb();
    }
    for (qsizetype i = 0; i < names.size(); ++i)
        for (qsizetype j = i + 1; j < names.size(); ++j) {
            const QByteArray pair = (names[i] + QLatin1String(" / ") + names[j]).toUtf8();
            QVERIFY2(windows[i] != windows[j], pair.constData());
            QVERIFY2(buttons[i] != buttons[j], pair.constData());
        }
}

void SkinManagerTest::widgetColourSurvivesEverySkin() {
    SkinManager m;
    testkit::FakeShell shell;
    KobaltWindow w(shell, QStringLiteral("Probe"), QStringLiteral("Probe"), QSize(300, 90));
    auto* red = kobui::makeButton(&w, QStringLiteral("Red"), QStringLiteral("MMMM"), QRect(10, 10, 200, 25),
                                  kobui::arialFont(16, true));
    red->setStyleSheet(QStringLiteral("color: #ff0000"));
    auto* plain = kobui::makeButton(&w, QStringLiteral("Plain"), QStringLiteral("MMMM"), QRect(10, 45, 200, 25),
                                    kobui::arialFont(16, true));
    for (const QString& n : SkinManager::builtInNames()) {
        m.setSkinName(n);
        QVERIFY2(redTextPixels(red) > 40, qPrintable(n));
        QVERIFY2(redTextPixels(plain) == 0, qPrintable(n));
    }
}

void SkinManagerTest::darkInkLabelsStayReadableInDarkSkins() {
    // A label the window draws in black must keep its black and stand on
    // a light ground in every skin.
    SkinManager m;
    testkit::FakeShell shell;
    KobaltWindow w(shell, QStringLiteral("Probe"), QStringLiteral("Probe"), QSize(300, 140));
    auto* label = kobui::makeLabel(&w, QStringLiteral("Hanyszor"), QStringLiteral("10"), QRect(10, 10, 220, 110),
                                   kobui::arialFont(96, true), Qt::AlignCenter);
    kobui::setTextColour(label, Qt::black);
    for (const QString& n : SkinManager::builtInNames()) {
        m.setSkinName(n);
        label->ensurePolished();
        const QImage img = w.grab(label->geometry()).toImage();
        int darkest = 255;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) darkest = std::min(darkest, qGray(img.pixel(x, y)));
        QVERIFY2(darkest < 30, qPrintable(n));
        // The ground just inside the label's corner, beside the digits.
        QVERIFY2(qGray(img.pixel(8, img.height() / 2)) > 150, qPrintable(n));
    }
}

void SkinManagerTest::theCardFollowsTheInkProperty() {
    // In Smoky only a label given a dark ink stands on the light card: not
    // a plain label, not one in a bright ink, and the card comes and goes
    // with the ink also on a label already drawn.
    SkinManager m;
    m.setSkinName(QStringLiteral("Smoky (internal)"));
    testkit::FakeShell shell;
    KobaltWindow w(shell, QStringLiteral("Probe"), QStringLiteral("Probe"), QSize(300, 200));
    auto label = [&w](int top) {
        return kobui::makeLabel(&w, QStringLiteral("L%1").arg(top), QStringLiteral("1"), QRect(10, top, 120, 40),
                                kobui::arialFont(16, true), Qt::AlignCenter);
    };
    QLabel* dark = label(10);
    QLabel* plain = label(60);
    QLabel* red = label(110);
    kobui::setTextColour(dark, QColor(0x80, 0, 0));
    kobui::setTextColour(red, Qt::red);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto ground = [&w](QLabel* l) { return qGray(w.grab(l->geometry()).toImage().pixel(8, l->height() / 2)); };
    QCOMPARE(dark->property("ink").toString(), QStringLiteral("dark"));
    QCOMPARE(red->property("ink").toString(), QStringLiteral("bright"));
    QVERIFY(ground(dark) > 150);
    QVERIFY(ground(plain) < 100);
    QVERIFY(ground(red) < 100);

    kobui::setTextColour(plain, Qt::black);
    QVERIFY(ground(plain) > 150);
    kobui::setTextColour(dark, Qt::red);
    QVERIFY(ground(dark) < 100);
    // Light skins draw no card at all: the black label's ground is the
    // window's, as beside it on the same line (Vista's window has a
    // vertical gradient and no texture).
    m.setSkinName(QStringLiteral("Vista (internal)"));
    const QImage all = w.grab().toImage();
    const int y = plain->y() + plain->height() / 2;
    QCOMPARE(all.pixel(plain->x() + 8, y), all.pixel(plain->geometry().right() + 40, y));
}

void SkinManagerTest::noFocusFrameButtonsKeepTheirBorderWhenFocused() {
    SkinManager m;
    testkit::FakeShell shell;
    KobaltWindow w(shell, QStringLiteral("Probe"), QStringLiteral("Probe"), QSize(300, 100));
    auto* plain = new QPushButton(QStringLiteral("A"), &w);
    plain->setGeometry(10, 10, 200, 25);
    auto* quiet = new QPushButton(QStringLiteral("B"), &w);
    quiet->setGeometry(10, 50, 200, 25);
    quiet->setProperty("noFocusFrame", true);
    plain->setFocusPolicy(Qt::StrongFocus);
    quiet->setFocusPolicy(Qt::StrongFocus);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // The whole face and rim of a button as drawn.
    auto edge = [](QPushButton* b) { return b->grab().toImage(); };
    for (const QString& n : SkinManager::builtInNames()) {
        m.setSkinName(n);
        if (QWidget* f = QApplication::focusWidget()) f->clearFocus();
        QTRY_VERIFY(!plain->hasFocus() && !quiet->hasFocus());
        const QImage plainRest = edge(plain);
        const QImage quietRest = edge(quiet);
        plain->setFocus();
        QTRY_VERIFY(plain->hasFocus());
        QVERIFY2(edge(plain) != plainRest, qPrintable(n));
        quiet->setFocus();
        QTRY_VERIFY(quiet->hasFocus());
        QCOMPARE(edge(quiet), quietRest);
    }
}

QTEST_MAIN(SkinManagerTest)
#include "skin_manager_qtest.moc"
