// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The help window: a column with a portrait, the version and a hint about
// the skin menu, and the help text on a blue plate. Nothing is stored.
#pragma once

#include <QStringList>

#include "kit/back_window.h"

class QFrame;
class QLabel;
class QPushButton;
class QTextEdit;

class TAboutForm : public BackWindow {
    Q_OBJECT
public:
    TAboutForm(kobui::Shell& shell, QWidget* mainWindow);

    // The help text, one entry per line, blank lines included.
    static const QStringList& helpLines();

    // The controls, built when the window is first shown (null before).
    QFrame* sPanel1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* Vege = nullptr;
    QTextEdit* RichEdit1 = nullptr;

public slots:
    void VegeClick();

protected:
    void onShow() override { FormActivate(); }
    void buildControls() override;
    void FormClick() override;

    void FormActivate();
};
