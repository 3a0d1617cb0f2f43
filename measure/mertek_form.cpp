// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "measure/mertek_form.h"

#include <QPushButton>

#include "kit/cue.h"
#include "kit/ui_common.h"

TMertekForm::TMertekForm(kobui::Shell& shell, QWidget* mainWindow)
    : BackWindow(shell, mainWindow, QStringLiteral("MertekForm"),
                 QStringLiteral("Kobaltfa -- Mértékegységek váltása --"), QSize(688, 167)) {
    setCursor(Qt::UpArrowCursor);
    const QFont font = kobui::arialFont(16, true);
    struct B {
        QPushButton** slot;
        const char* object;
        const char* caption;
        QPoint at;
    };
    // In tab order: row by row, left column first.
    const B buttons[] = {
        {&TeruletBtn, "TeruletBtn", "Terület A (area)", {16, 8}},
        {&Hosszusag, "Hosszusag", "Hosszúság l (longitudo)", {384, 8}},
        {&TerfogatBtn, "TerfogatBtn", "Térfogat V (volumen)", {16, 48}},
        {&TomegBtn, "TomegBtn", "Tömeg m (massa)", {384, 48}},
        {&IdoBtn, "IdoBtn", "Idő t (tempus)", {16, 88}},
        {&SzogBtn, "SzogBtn", "Szög", {384, 88}},
        {&HomersekletBtn, "HomersekletBtn", "Hőmérséklet T (temperature)", {16, 128}},
        {&VegeBtn, "VegeBtn", "<- Főmenű", {384, 128}},
    };
    QPushButton* previous = nullptr;
    for (const B& b : buttons) {
        QPushButton* btn = kobui::makeButton(this, QString::fromLatin1(b.object), QString::fromUtf8(b.caption),
                                             QRect(b.at, QSize(289, 25)), font);
        *b.slot = btn;
        if (btn != VegeBtn) {
            btn->setEnabled(false);  // until its drill is given
            measureButtons_ << btn;
        }
        if (previous) setTabOrder(previous, btn);
        previous = btn;
    }
    VegeBtn->setAccessibleName(QStringLiteral("Vissza a főmenübe"));
    connect(VegeBtn, &QPushButton::clicked, this, &TMertekForm::VegeBtnClick);
}

void TMertekForm::setDrill(const QString& button, KobaltWindow* drill) {
    for (QPushButton* b : measureButtons_) {
        if (b->objectName() != button || !drill) continue;
        b->setEnabled(true);
        connect(b, &QPushButton::clicked, drill, [this, drill] { drill->showModalFrom(this); });
    }
}
void TMertekForm::VegeBtnClick() { close(); }

void TMertekForm::FormClick() { Szoveg(kob::Cue::LeaveMeAlone); }
