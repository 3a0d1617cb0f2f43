#include "arith/arith_windows.h"

TOsszeadForm::TOsszeadForm(kobui::Shell& shell, QWidget* mainWindow)
    : ArithWindow(shell, mainWindow, kob::additionSpec(), kobui::additionLayout()) {}

TKivonForm::TKivonForm(kobui::Shell& shell, QWidget* mainWindow)
    : ArithWindow(shell, mainWindow, kob::subtractionSpec(), kobui::subtractionLayout()) {}

TSzorzasForm::TSzorzasForm(kobui::Shell& shell, QWidget* mainWindow)
    : ArithWindow(shell, mainWindow, kob::multiplicationSpec(), kobui::multiplicationLayout()) {}

TOsztasForm::TOsztasForm(kobui::Shell& shell, QWidget* mainWindow)
    : ArithWindow(shell, mainWindow, kob::divisionSpec(), kobui::divisionLayout()) {}
