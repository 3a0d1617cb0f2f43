#pragma once

#include "app/back_window.h"

class TAboutForm : public BackWindow {
    Q_OBJECT
public:
    explicit TAboutForm(TForm1* main);
};
