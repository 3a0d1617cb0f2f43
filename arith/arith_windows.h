// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The four arithmetic drill windows. Each is the arithmetic window with its
// own description and arrangement; nothing else differs. Each shows the
// main window again when it closes.
#pragma once

#include "arith/arith_window.h"

class TOsszeadForm : public ArithWindow {
    Q_OBJECT
public:
    TOsszeadForm(kobui::Shell& shell, QWidget* mainWindow);
};

class TKivonForm : public ArithWindow {
    Q_OBJECT
public:
    TKivonForm(kobui::Shell& shell, QWidget* mainWindow);
};

class TSzorzasForm : public ArithWindow {
    Q_OBJECT
public:
    TSzorzasForm(kobui::Shell& shell, QWidget* mainWindow);
};

class TOsztasForm : public ArithWindow {
    Q_OBJECT
public:
    TOsztasForm(kobui::Shell& shell, QWidget* mainWindow);
};
