#include "arith/arith_windows.h"

#include "app/main_window.h"

TOsszeadForm::TOsszeadForm(TForm1* main)
    : BackWindow(main, main, QStringLiteral("OsszeadForm"), QStringLiteral("Kobaltfa -- Összeadás --"),
                 QSize(681, 387)) {}
TKivonForm::TKivonForm(TForm1* main)
    : BackWindow(main, main, QStringLiteral("KivonForm"), QStringLiteral("Kobaltfa -- Kivonás --"),
                 QSize(681, 387)) {}
TSzorzasForm::TSzorzasForm(TForm1* main)
    : BackWindow(main, main, QStringLiteral("SzorzasForm"), QStringLiteral("Kobaltfa -- Szorzás --"),
                 QSize(681, 290)) {}
TOsztasForm::TOsztasForm(TForm1* main)
    : BackWindow(main, main, QStringLiteral("OsztasForm"), QStringLiteral("Kobaltfa -- Osztás --"),
                 QSize(681, 290)) {}
