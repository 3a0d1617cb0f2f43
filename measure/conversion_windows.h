// The four conversion drills: one window class, four unit tables.
#pragma once

#include "measure/conversion_window.h"

class TMertekForm;

// Area: km2, ha, m2, dm2, cm2, mm2.
class TTeruletForm : public ConversionWindow {
    Q_OBJECT
public:
    TTeruletForm(kobui::Shell& shell, TMertekForm* chooser);
};

// Length: km, m, dm, cm, mm.
class THosszuForm : public ConversionWindow {
    Q_OBJECT
public:
    THosszuForm(kobui::Shell& shell, TMertekForm* chooser);
};

// Volume: m3, liter, dm3, cm3, mm3.
class TTerfogatForm : public ConversionWindow {
    Q_OBJECT
public:
    TTerfogatForm(kobui::Shell& shell, TMertekForm* chooser);
};

// Mass: t, q, kg, dkg, g.
class TTomegForm : public ConversionWindow {
    Q_OBJECT
public:
    TTomegForm(kobui::Shell& shell, TMertekForm* chooser);
};
