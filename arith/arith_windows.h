#pragma once

#include "app/back_window.h"


class TOsszeadForm : public BackWindow {
    Q_OBJECT
public:
    explicit TOsszeadForm(TForm1* main);
};
class TKivonForm : public BackWindow {
    Q_OBJECT
public:
    explicit TKivonForm(TForm1* main);
};
class TSzorzasForm : public BackWindow {
    Q_OBJECT
public:
    explicit TSzorzasForm(TForm1* main);
};
class TOsztasForm : public BackWindow {
    Q_OBJECT
public:
    explicit TOsztasForm(TForm1* main);
};
