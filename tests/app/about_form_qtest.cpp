// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The help window: its texts, its way back and the cues it plays.
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QtTest>

#include "app/about_form.h"
#include "support/testkit.h"

using testkit::Harness;

class AboutFormTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheHelpTextLineByLine();
    void threeOpeningsSayByeByeThreeTimesAndStoreNothing();
    void onlyTheStripAroundThePanelIsBackground();
};

void AboutFormTest::showsTheHelpTextLineByLine() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    TAboutForm* a = h.app->AboutForm;
    f->show();
    f->AboutBtn->click();
    QVERIFY(a->isVisible());
    QCOMPARE(a->windowTitle(), QStringLiteral("Brumbi kisiskolásoknak"));
    QCOMPARE(a->size(), QSize(577, 462));
    QCOMPARE(a->Label1->text(), QStringLiteral("Jobb egérgombbal\nmeg lehet változtatni\na megjelenést !"));
    QCOMPARE(a->Label2->text(), QStringLiteral("Verzió: 1.0"));
    QCOMPARE(a->Vege->text(), QStringLiteral("Elolvastam"));
    QCOMPARE(a->Vege->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(a->Image1->cursor().shape(), Qt::BlankCursor);
    QVERIFY(!a->Image1->pixmap().isNull());
    QVERIFY(a->Image1->pixmap().width() <= 129 && a->Image1->pixmap().height() <= 169);

    QTextDocument* doc = a->RichEdit1->document();
    QCOMPARE(doc->blockCount(), 19);
    QCOMPARE(doc->findBlockByNumber(0).text(), QStringLiteral("A program egyenlőre 5 részt tartamaz:"));
    QCOMPARE(doc->findBlockByNumber(1).text(), QString());
    QCOMPARE(doc->findBlockByNumber(14).text(),
             QStringLiteral("1 és 120 másodperc között lehet a  válaszadási időt beállítani."));
    QCOMPARE(doc->findBlockByNumber(18).text(), QStringLiteral("A válaszok tábláján a ^ jel az időtullépést jelzi."));
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        QVERIFY(b.blockFormat().alignment() & Qt::AlignHCenter);
    QVERIFY(a->RichEdit1->isReadOnly());
    QCOMPARE(a->RichEdit1->lineWrapMode(), QTextEdit::NoWrap);
    QCOMPARE(a->RichEdit1->frameShape(), QFrame::NoFrame);
    QCOMPARE(a->RichEdit1->font().pixelSize(), 13);

    // White text on a blue plate: the empty bottom of the text box is blue.
    const QImage shot = a->RichEdit1->grab().toImage();
    QCOMPARE(QColor(shot.pixel(200, 400)), QColor(0, 0, 255));
    bool white = false;
    for (int y = 0; y < 60 && !white; ++y)
        for (int x = 0; x < shot.width() && !white; ++x) white = QColor(shot.pixel(x, y)) == QColor(Qt::white);
    QVERIFY(white);
}

void AboutFormTest::threeOpeningsSayByeByeThreeTimesAndStoreNothing() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    TAboutForm* a = h.app->AboutForm;
    f->show();
    h.player.clear();
    for (int i = 0; i < 3; ++i) {
        f->AboutBtn->click();
        QVERIFY(!f->isVisible());
        QCOMPARE(a->Label2->text(), QStringLiteral("Verzió: 1.0"));
        QCOMPARE(a->Label1->text().split('\n').size(), 3);
        if (i == 0) {
            QTest::mouseClick(a->Vege, Qt::LeftButton);
        } else if (i == 1) {
            a->close();  // the close box
        } else {
            QTest::keyClick(a->Vege, Qt::Key_Space);  // the focused button
        }
        QVERIFY(!a->isVisible());
        QVERIFY(f->isVisible());
    }
    QCOMPARE(h.player.cues, (QStringList{"ByeBye", "ByeBye", "ByeBye"}));
    // The inset stays at five pixels however often the window opens.
    QCOMPARE(a->RichEdit1->document()->documentMargin(), 5.0);
    QVERIFY(!QFile::exists(QString::fromStdString(h.iniPath())));
}

void AboutFormTest::onlyTheStripAroundThePanelIsBackground() {
    Harness h;
    h.start();
    h.app->Form1->show();
    TAboutForm* a = h.app->AboutForm;
    h.app->Form1->AboutBtn->click();
    h.player.clear();
    QTest::mouseClick(a->sPanel1, Qt::LeftButton, {}, QPoint(60, 250));  // the panel's own background
    QTest::mouseClick(a->Label1, Qt::LeftButton);
    QTest::mouseClick(a->Label2, Qt::LeftButton);
    QTest::mouseClick(a->Image1, Qt::LeftButton);
    QTest::mouseClick(a->RichEdit1->viewport(), Qt::LeftButton, {}, QPoint(200, 400));
    QVERIFY2(h.player.cues.isEmpty(), qPrintable(h.player.cues.join(',')));
    QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(4, 8));
    QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(300, 455));
    QCOMPARE(h.player.cues, (QStringList{"LeaveMeAlone", "LeaveMeAlone"}));
    QVERIFY(a->isVisible());
}

QTEST_MAIN(AboutFormTest)
#include "about_form_qtest.moc"
