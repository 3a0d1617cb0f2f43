// The measures chooser: the second menu level, from which the pupil opens
// the area, length, volume and mass drills. Time, angle and temperature are
// shown but cannot be chosen yet.
#pragma once

#include "app/back_window.h"

class QPushButton;

class TMertekForm : public BackWindow {
    Q_OBJECT
public:
    explicit TMertekForm(TForm1* main);

    // The drills the four measure buttons open (set once they exist).
    void setTargets(KobaltWindow* terulet, KobaltWindow* hosszu, KobaltWindow* terfogat,
                    KobaltWindow* tomeg);

    QPushButton *TeruletBtn, *Hosszusag, *TerfogatBtn, *TomegBtn;
    QPushButton *IdoBtn, *SzogBtn, *HomersekletBtn, *VegeBtn;

protected:
    void FormClick() override;
};
