#include "measure/mertek_form.h"

#include "app/main_window.h"

TMertekForm::TMertekForm(TForm1* main)
    : BackWindow(main, main, QStringLiteral("MertekForm"),
                 QStringLiteral("Kobaltfa -- Mértékegységek váltása --"), QSize(688, 167)) {}

void TMertekForm::setTargets(KobaltWindow*, KobaltWindow*, KobaltWindow*, KobaltWindow*) {}
