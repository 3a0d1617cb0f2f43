#pragma once

#include "app/back_window.h"

class TMertekForm;

class TTeruletForm : public BackWindow {
    Q_OBJECT
public:
    TTeruletForm(TForm1* main, TMertekForm* chooser);
};
class THosszuForm : public BackWindow {
    Q_OBJECT
public:
    THosszuForm(TForm1* main, TMertekForm* chooser);
};
class TTerfogatForm : public BackWindow {
    Q_OBJECT
public:
    TTerfogatForm(TForm1* main, TMertekForm* chooser);
};
class TTomegForm : public BackWindow {
    Q_OBJECT
public:
    TTomegForm(TForm1* main, TMertekForm* chooser);
};
