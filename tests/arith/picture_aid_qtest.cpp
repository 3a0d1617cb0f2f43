// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The counting pictures of the addition and subtraction windows.
#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "arith/arith_windows.h"
#include "arith/picture_aid.h"
#include "drill/drill_ui.h"
#include "support/testkit.h"

using kobui::PictureAid;
using testkit::Harness;

namespace {

QString shown(ArithWindow* w) {
    QString s;
    for (QLabel* l : w->pictures()->kep)
        if (!l->isHidden()) s += l->objectName() + " ";
    for (QLabel* l : w->pictures()->Image)
        if (!l->isHidden()) s += l->objectName() + " ";
    return s.trimmed();
}

QList<QLabel*> allBoxes(ArithWindow* w) {
    QList<QLabel*> all;
    for (QLabel* l : w->pictures()->kep) all << l;
    for (QLabel* l : w->pictures()->Image) all << l;
    return all;
}

bool allShow(ArithWindow* w, const QString& picture) {
    const QImage want = PictureAid::loadPicture(picture).toImage();
    if (want.isNull()) return false;
    for (QLabel* l : allBoxes(w))
        if (l->pixmap().toImage() != want) return false;
    return true;
}

void script(Harness& h, std::initializer_list<int> values) {
    h.script->clear();
    h.script->insert(h.script->end(), values);
}

void rightClick(QWidget* target) {
    const QPoint at(target->width() / 2, target->height() / 2);
    QContextMenuEvent e(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
    QApplication::sendEvent(target, &e);
}

}  // namespace

class PictureAidTest : public QObject {
    Q_OBJECT
private slots:
    void nineIconsLoadByAnySpelling();
    void operandsAreCountedFromTheSignOutwards();
    void tenMinusTenShowsAllTwenty();
    void otherRangesHideThePictures();
    void menuSwapsThePictureOfOneWindowOnly();
    void rightClickOnAnyBoxOrTheSignOpensTheMenu();
};

// Each embedded icon is one 32 x 32 picture of 16 or 256 colours (4 or 8
// bits a pixel, a palette and a transparency mask): four of 256, five of 16.
void PictureAidTest::nineIconsLoadByAnySpelling() {
    QMap<int, int> iconsOfDepth;
    for (const char* name : {"Alma", "Banan", "Hamburger", "Jeep", "Kocsi", "Medve", "Paradicsom", "Szolo", "Vonat"}) {
        const QPixmap pm = PictureAid::loadPicture(QString::fromLatin1(name));
        QVERIFY2(!pm.isNull(), name);
        QCOMPARE(pm.size(), QSize(32, 32));
        QCOMPARE(PictureAid::loadPicture(QString::fromLatin1(name).toLower()).toImage(), pm.toImage());

        QFile f(QStringLiteral(":/icons/%1").arg(QString::fromLatin1(name).toUpper()));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray ico = f.readAll();
        QVERIFY2(ico.size() > 22 + 40, name);
        const auto u16 = [&](int at) { return quint8(ico[at]) | quint8(ico[at + 1]) << 8; };
        const auto u32 = [&](int at) { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; };
        QCOMPARE(u16(4), 1);                                     // pictures in the file
        QCOMPARE(quint8(ico[6]), quint8(32));                    // width
        QCOMPARE(quint8(ico[7]), quint8(32));                    // height
        const int bits = u16(12);
        const quint32 at = u32(18);                              // the picture's bitmap header
        QCOMPARE(u16(int(at) + 14), bits);
        QVERIFY2(bits == 4 || bits == 8, qPrintable(QStringLiteral("%1: %2 bits").arg(name).arg(bits)));
        ++iconsOfDepth[bits];
        // The palette, the pixels and the mask fill the picture exactly.
        QCOMPARE(u32(14), quint32(40 + (4 << bits) + 32 * 32 * bits / 8 + 32 * 4));

        const QImage image = pm.toImage();  // the mask makes the corners transparent
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(16, 20)), 255);
    }
    QCOMPARE(iconsOfDepth.value(8), 4);
    QCOMPARE(iconsOfDepth.value(4), 5);
    QVERIFY(PictureAid::loadPicture(QStringLiteral("Korte")).isNull());
}

void PictureAidTest::operandsAreCountedFromTheSignOutwards() {
    Harness h;
    h.start();
    h.app->Form1->show();
    ArithWindow* w = h.app->OsszeadForm;
    script(h, {5, 0, 9, 3});  // 0+6, then 3+7
    h.app->Form1->OsszeBtn->click();
    QCOMPARE(w->Hanyszor->text() + "+" + w->Mennyi->text(), QStringLiteral("0+6"));
    QCOMPARE(shown(w), QStringLiteral("Image1 Image2 Image3 Image4 Image5 Image6"));
    QVERIFY(allShow(w, "Alma"));  // the apple at program start

    // The nearest column first, its lower box before its upper one.
    PictureAid* aid = w->pictures();
    QCOMPARE(aid->Image[0]->geometry(), QRect(408, 344, 33, 33));
    QCOMPARE(aid->Image[1]->pos(), QPoint(408, 304));
    QCOMPARE(aid->Image[2]->pos(), QPoint(448, 344));
    QCOMPARE(aid->kep[0]->pos(), QPoint(232, 344));
    QCOMPARE(aid->kep[9]->pos(), QPoint(72, 304));
    QCOMPARE(aid->Image[9]->pos(), QPoint(568, 304));
    QCOMPARE(aid->sLabelFX1->text(), QStringLiteral("+"));
    QCOMPARE(aid->sLabelFX1->geometry(), QRect(304, 280, 60, 111));

    QTest::keyClicks(w->Annyi, "6");
    QTest::keyClick(w->Annyi, Qt::Key_Return);
    QCOMPARE(shown(w), QStringLiteral("kep1 kep2 kep3 Image1 Image2 Image3 Image4 Image5 Image6 Image7"));
}

void PictureAidTest::tenMinusTenShowsAllTwenty() {
    Harness h;
    h.start();
    h.app->Form1->show();
    ArithWindow* w = h.app->KivonForm;
    script(h, {9, 9});
    h.app->Form1->KivonBtn->click();
    QCOMPARE(w->Hanyszor->text() + "-" + w->Mennyi->text(), QStringLiteral("10-10"));
    for (QLabel* l : allBoxes(w)) QVERIFY2(l->isVisible(), qPrintable(l->objectName()));
    QCOMPARE(w->height(), 387);
    QCOMPARE(w->pictures()->sLabelFX1->text(), QStringLiteral("-"));
    QCOMPARE(w->pictures()->sLabelFX1->geometry(), QRect(296, 280, 73, 73));
}

void PictureAidTest::otherRangesHideThePictures() {
    Harness h;
    h.start();
    h.app->Form1->show();
    ArithWindow* w = h.app->OsszeadForm;
    script(h, {3, 1, 40, 2});  // 1+3, then 2+39
    h.app->Form1->OsszeBtn->click();
    QCOMPARE(shown(w), QStringLiteral("kep1 Image1 Image2 Image3"));
    w->RB[2]->click();  // "100-as": this question keeps its pictures
    QCOMPARE(shown(w), QStringLiteral("kep1 Image1 Image2 Image3"));
    QCOMPARE(w->height(), 387);
    QTest::keyClicks(w->Annyi, "4");
    QTest::keyClick(w->Annyi, Qt::Key_Return);
    QCOMPARE(w->Mennyi->text(), QStringLiteral("39"));
    QCOMPARE(shown(w), QString());
    QCOMPARE(w->height(), 290);
    for (QLabel* l : allBoxes(w)) QVERIFY(l->geometry().top() >= w->height());  // cut off with the strip
}

void PictureAidTest::menuSwapsThePictureOfOneWindowOnly() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    ArithWindow* k = h.app->KivonForm;
    ArithWindow* a = h.app->OsszeadForm;
    k->ensureBuilt();
    a->ensureBuilt();

    QStringList items, captions;
    for (QAction* act : k->pictures()->KivonPopup->actions()) {
        items << act->objectName();
        captions << act->text();
    }
    QCOMPARE(items, (QStringList{"Bann1", "Szl1", "Hamburger1", "Alma1", "Medve1", "Jepp1", "Paradicsom1",
                                 "Vonat1", "Kocsi1"}));
    QCOMPARE(captions.first(), QStringLiteral("Banán"));
    QCOMPARE(captions.at(1), QStringLiteral("Szőlő"));

    script(h, {3, 1, 6, 2, 4, 2});  // 4-2, 7-3, then 2+3
    f->KivonBtn->click();
    k->findChild<QAction*>(QStringLiteral("Vonat1"))->trigger();
    QVERIFY(allShow(k, "Vonat"));  // hidden boxes too
    QCOMPARE(k->pictures()->picture(), QStringLiteral("VONAT"));
    QVERIFY(allShow(a, "Alma"));
    k->close();

    // The choice lives as long as the program, across reopenings.
    f->KivonBtn->click();
    QVERIFY(allShow(k, "Vonat"));
    k->close();
    f->OsszeBtn->click();
    a->findChild<QAction*>(QStringLiteral("Szl1"))->trigger();
    QVERIFY(allShow(a, "Szolo"));
    QVERIFY(allShow(k, "Vonat"));
}

void PictureAidTest::rightClickOnAnyBoxOrTheSignOpensTheMenu() {
    Harness h;
    h.start();
    h.app->Form1->show();
    ArithWindow* w = h.app->OsszeadForm;
    script(h, {9, 4});  // 4+6
    h.app->Form1->OsszeBtn->click();
    PictureAid* aid = w->pictures();
    QMenu* skinMenu = h.app->Form1->PopupMenu1();
    for (QWidget* target : {(QWidget*)aid->sLabelFX1, (QWidget*)aid->kep[3], (QWidget*)aid->Image[5]}) {
        QCOMPARE(target->toolTip(), QStringLiteral("Jobb egérgomb > képcsere"));
        rightClick(target);
        QTRY_VERIFY(aid->KivonPopup->isVisible());
        QVERIFY(!skinMenu->isVisible());
        aid->KivonPopup->hide();
    }
    // Elsewhere the right button still opens the skin menu.
    rightClick(w->Hanyszor);
    QTRY_VERIFY(skinMenu->isVisible());
    QVERIFY(!aid->KivonPopup->isVisible());
    skinMenu->hide();
    // A left click on a picture is no click on the background.
    h.player.clear();
    QTest::mouseClick(aid->kep[0], Qt::LeftButton);
    QTest::mouseClick(aid->sLabelFX1, Qt::LeftButton);
    QVERIFY(h.player.cues.isEmpty());
}

QTEST_MAIN(PictureAidTest)
#include "picture_aid_qtest.moc"
