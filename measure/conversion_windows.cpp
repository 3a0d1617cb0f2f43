#include "measure/conversion_windows.h"

#include "app/main_window.h"
#include "measure/mertek_form.h"

TTeruletForm::TTeruletForm(TForm1* main, TMertekForm* chooser)
    : BackWindow(main, chooser, QStringLiteral("TeruletForm"), QStringLiteral("Kobaltfa -- Terület átváltás --"),
                 QSize(665, 426)) {}
THosszuForm::THosszuForm(TForm1* main, TMertekForm* chooser)
    : BackWindow(main, chooser, QStringLiteral("HosszuForm"), QStringLiteral("Kobaltfa -- Hosszúság átváltás --"),
                 QSize(665, 426)) {}
TTerfogatForm::TTerfogatForm(TForm1* main, TMertekForm* chooser)
    : BackWindow(main, chooser, QStringLiteral("TerfogatForm"), QStringLiteral("Kobaltfa -- Térfogat átváltás --"),
                 QSize(665, 426)) {}
TTomegForm::TTomegForm(TForm1* main, TMertekForm* chooser)
    : BackWindow(main, chooser, QStringLiteral("TomegForm"), QStringLiteral("Kobaltfa -- Tömeg átváltás --"),
                 QSize(665, 426)) {}
