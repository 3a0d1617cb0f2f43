// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "arith/arith_windows.h"

TOsszeadForm::TOsszeadForm(kobui::Shell& shell, QWidget* mainWindow)
    : ArithWindow(shell, mainWindow, kob::additionData(), kobui::additionLayout()) {}

TKivonForm::TKivonForm(kobui::Shell& shell, QWidget* mainWindow)
    : ArithWindow(shell, mainWindow, kob::subtractionData(), kobui::subtractionLayout()) {}

TSzorzasForm::TSzorzasForm(kobui::Shell& shell, QWidget* mainWindow)
    : ArithWindow(shell, mainWindow, kob::multiplicationData(), kobui::multiplicationLayout()) {}

TOsztasForm::TOsztasForm(kobui::Shell& shell, QWidget* mainWindow)
    : ArithWindow(shell, mainWindow, kob::divisionData(), kobui::divisionLayout()) {}
