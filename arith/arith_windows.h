// The four arithmetic drill windows. Each is the arithmetic window with its
// own description and arrangement; nothing else differs.
#pragma once

#include "arith/arith_window.h"

class TOsszeadForm : public ArithWindow {
    Q_OBJECT
public:
    explicit TOsszeadForm(TForm1* main);
};

class TKivonForm : public ArithWindow {
    Q_OBJECT
public:
    explicit TKivonForm(TForm1* main);
};

class TSzorzasForm : public ArithWindow {
    Q_OBJECT
public:
    explicit TSzorzasForm(TForm1* main);
};

class TOsztasForm : public ArithWindow {
    Q_OBJECT
public:
    explicit TOsztasForm(TForm1* main);
};
