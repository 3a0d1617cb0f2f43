#include "app/about_form.h"

#include "app/main_window.h"

TAboutForm::TAboutForm(TForm1* main)
    : BackWindow(main, main, QStringLiteral("AboutForm"), QStringLiteral("Brumbi kisiskolásoknak"),
                 QSize(577, 462)) {}
