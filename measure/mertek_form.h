#pragma once

#include "app/back_window.h"

class TMertekForm : public BackWindow {
    Q_OBJECT
public:
    explicit TMertekForm(TForm1* main);
    void setTargets(KobaltWindow* terulet, KobaltWindow* hosszu, KobaltWindow* terfogat,
                    KobaltWindow* tomeg);
};
