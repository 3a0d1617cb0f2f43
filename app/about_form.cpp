// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/about_form.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include "app/main_window.h"
#include "kit/cue.h"
#include "kit/ui_common.h"
#include "drill/drill_ui.h"

namespace {

const QRect kImage{8, 8, 129, 169};

// The portrait, shrunk to the box with its proportions kept.
QPixmap portrait() {
    QPixmap pm(QStringLiteral(":/pictures/portrait.jpg"));
    if (pm.isNull() || (pm.width() <= kImage.width() && pm.height() <= kImage.height())) return pm;
    return pm.scaled(kImage.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

const QStringList& TAboutForm::helpLines() {
    static const QStringList lines = {
        QStringLiteral("A program egyenlőre 5 részt tartamaz:"),
        QString(),
        QStringLiteral("- Összeadás 1-től 10.000-ig - számkörökben"),
        QStringLiteral("- Kivonás 1-től 10.000-ig - számkörökben"),
        QStringLiteral("10-es számkörben kis képekkel is mutatja az"),
        QStringLiteral("értéket, jobb egérgombbal rákattintva megvátoztatható"),
        QStringLiteral("- Szorzás 2-töl 10-ig"),
        QStringLiteral("- Osztás 2-től 10 ig"),
        QString(),
        QStringLiteral("- Mértékegységek váltása"),
        QStringLiteral("terület, űrmérték, hossz, idő, tömeg és szög"),
        QStringLiteral("A spineken beállítható a maximum érték"),
        QStringLiteral("A mezők kikapcsolhatók így nagyobb léptékben is használható"),
        QString(),
        QStringLiteral("1 és 120 másodperc között lehet a  válaszadási időt beállítani."),
        QStringLiteral("A beállított értéket és a számköröket valamint a megjelenést"),
        QStringLiteral("automatikusan egy INI file-ba menti, inditáskor betöltődik."),
        QString(),
        QStringLiteral("A válaszok tábláján a ^ jel az időtullépést jelzi."),
    };
    return lines;
}

TAboutForm::TAboutForm(kobui::Shell& shell, QWidget* mainWindow)
    : BackWindow(shell, mainWindow, QStringLiteral("AboutForm"), QStringLiteral("Brumbi kisiskolásoknak"),
                 QSize(577, 462)) {
    setFont(kobui::sansFont(11));
    // Nothing of the help is needed before the pupil opens it.
    deferControls();
}

void TAboutForm::buildControls() {
    sPanel1 = new QFrame(this);
    sPanel1->setObjectName(QStringLiteral("sPanel1"));
    sPanel1->setGeometry(8, 16, 561, 433);
    sPanel1->setFrameShape(QFrame::StyledPanel);
    sPanel1->setAccessibleName(QStringLiteral("Segítség"));

    Image1 = new QLabel(sPanel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(kImage);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(portrait());
    Image1->setCursor(Qt::BlankCursor);
    Image1->setAccessibleName(QStringLiteral("arckép"));

    Label2 = kobui::makeLabel(sPanel1, QStringLiteral("Label2"), QString(), {8, 184, 129, 105},
                              kobui::arialFont(13, true), Qt::AlignCenter);
    Label1 = kobui::makeLabel(sPanel1, QStringLiteral("Label1"), QString(), {16, 296, 121, 65},
                              kobui::sansFont(11), Qt::AlignCenter);
    Label1->setWordWrap(false);

    Vege = kobui::makeButton(sPanel1, QStringLiteral("Vege"), QStringLiteral("Elolvastam"), {32, 392, 75, 25},
                             kobui::sansFont(11));
    connect(Vege, &QPushButton::clicked, this, &TAboutForm::VegeClick);

    RichEdit1 = new QTextEdit(sPanel1);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setGeometry(152, 8, 401, 417);
    RichEdit1->setReadOnly(true);
    // A caret, so that the keyboard and a screen reader can walk the text.
    RichEdit1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RichEdit1->setFrameShape(QFrame::NoFrame);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setAcceptRichText(false);
    RichEdit1->setContextMenuPolicy(Qt::NoContextMenu);  // the skin menu instead
    RichEdit1->setFont(kobui::sansFont(13));
    RichEdit1->setStyleSheet(QStringLiteral("QTextEdit { background-color: #0000FF; color: #FFFFFF; }"));
    RichEdit1->setAccessibleName(QStringLiteral("Segítség a használathoz"));
    RichEdit1->setPlainText(helpLines().join(QLatin1Char('\n')));
    QTextCursor all(RichEdit1->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);

    setTabOrder(Vege, RichEdit1);
}

void TAboutForm::FormActivate() {
    kobui::RoundControl(RichEdit1);
    Label1->setText(QStringLiteral("Jobb egérgombbal\nmeg lehet változtatni\na megjelenést !"));
    Label2->setText(QStringLiteral("Verzió: 1.0"));
    Vege->setFocus();
}

void TAboutForm::FormClick() { Szoveg(kob::Cue::LeaveMeAlone); }

void TAboutForm::VegeClick() { close(); }
