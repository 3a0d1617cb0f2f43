#include "measure/mertek_form.h"

#include <QPushButton>

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
        bool enabled;
    };
    // In tab order: row by row, left column first.
    const B buttons[] = {
        {&TeruletBtn, "TeruletBtn", "Terület A (area)", {16, 8}, true},
        {&Hosszusag, "Hosszusag", "Hosszúság l (longitudo)", {384, 8}, true},
        {&TerfogatBtn, "TerfogatBtn", "Térfogat V (volumen)", {16, 48}, true},
        {&TomegBtn, "TomegBtn", "Tömeg m (massa)", {384, 48}, true},
        {&IdoBtn, "IdoBtn", "Idő t (tempus)", {16, 88}, false},
        {&SzogBtn, "SzogBtn", "Szög", {384, 88}, false},
        {&HomersekletBtn, "HomersekletBtn", "Hőmérséklet T (temperature)", {16, 128}, false},
        {&VegeBtn, "VegeBtn", "<- Főmenű", {384, 128}, true},
    };
    QPushButton* previous = nullptr;
    for (const B& b : buttons) {
        QPushButton* btn = kobui::makeButton(this, QString::fromLatin1(b.object), QString::fromUtf8(b.caption),
                                             QRect(b.at, QSize(289, 25)), font);
        btn->setEnabled(b.enabled);
        *b.slot = btn;
        if (previous) setTabOrder(previous, btn);
        previous = btn;
    }
    VegeBtn->setAccessibleName(QStringLiteral("Vissza a főmenübe"));
    connect(VegeBtn, &QPushButton::clicked, this, &TMertekForm::VegeBtnClick);
    connect(TeruletBtn, &QPushButton::clicked, this, &TMertekForm::TeruletBtnClick);
    connect(Hosszusag, &QPushButton::clicked, this, &TMertekForm::HosszusagClick);
    connect(TerfogatBtn, &QPushButton::clicked, this, &TMertekForm::TerfogatBtnClick);
    connect(TomegBtn, &QPushButton::clicked, this, &TMertekForm::TomegBtnClick);
}

void TMertekForm::setTargets(KobaltWindow* terulet, KobaltWindow* hosszu, KobaltWindow* terfogat,
                             KobaltWindow* tomeg) {
    drills_[0] = terulet;
    drills_[1] = hosszu;
    drills_[2] = terfogat;
    drills_[3] = tomeg;
}

void TMertekForm::open(KobaltWindow* drill) {
    if (drill) drill->showModalFrom(this);
}

void TMertekForm::TeruletBtnClick() { open(drills_[0]); }
void TMertekForm::HosszusagClick() { open(drills_[1]); }
void TMertekForm::TerfogatBtnClick() { open(drills_[2]); }
void TMertekForm::TomegBtnClick() { open(drills_[3]); }
void TMertekForm::VegeBtnClick() { close(); }

void TMertekForm::FormClick() { Szoveg(kob::Cue::LeaveMeAlone); }
