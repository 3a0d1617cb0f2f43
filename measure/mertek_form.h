// The measures chooser: the second menu level, from which the pupil opens
// the area, length, volume and mass drills. Time, angle and temperature are
// shown but cannot be chosen yet.
#pragma once

#include "kit/back_window.h"

class QPushButton;

class TMertekForm : public BackWindow {
    Q_OBJECT
public:
    TMertekForm(kobui::Shell& shell, QWidget* mainWindow);

    // The drills the four measure buttons open (set once they exist).
    void setTargets(KobaltWindow* terulet, KobaltWindow* hosszu, KobaltWindow* terfogat,
                    KobaltWindow* tomeg);

    QPushButton *TeruletBtn, *Hosszusag, *TerfogatBtn, *TomegBtn;
    QPushButton *IdoBtn, *SzogBtn, *HomersekletBtn, *VegeBtn;

public slots:
    // The four measure buttons: each hides the chooser and shows its drill.
    void TeruletBtnClick();
    void HosszusagClick();
    void TerfogatBtnClick();
    void TomegBtnClick();
    // "<- Főmenű": asks the chooser to close.
    void VegeBtnClick();

protected:
    void FormClick() override;

private:
    void open(KobaltWindow* drill);
    KobaltWindow* drills_[4] = {};
};
