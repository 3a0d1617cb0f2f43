#include "arith/arith_windows.h"

TOsszeadForm::TOsszeadForm(TForm1* main)
    : ArithWindow(main, kob::additionSpec(), kobui::additionLayout()) {}

TKivonForm::TKivonForm(TForm1* main)
    : ArithWindow(main, kob::subtractionSpec(), kobui::subtractionLayout()) {}

TSzorzasForm::TSzorzasForm(TForm1* main)
    : ArithWindow(main, kob::multiplicationSpec(), kobui::multiplicationLayout()) {}

TOsztasForm::TOsztasForm(TForm1* main)
    : ArithWindow(main, kob::divisionSpec(), kobui::divisionLayout()) {}
