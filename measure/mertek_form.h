// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The measures chooser: the second menu level, from which the pupil opens
// the area, length, volume and mass drills. A measure button works once a
// drill is given to it; time, angle and temperature have none yet and are
// shown greyed.
#pragma once

#include "kit/back_window.h"

class QPushButton;

class TMertekForm : public BackWindow {
    Q_OBJECT
public:
    TMertekForm(kobui::Shell& shell, QWidget* mainWindow);

    // Gives the measure button of that name its drill: the button is
    // enabled and, pressed, hides the chooser and shows the drill.
    void setDrill(const QString& button, KobaltWindow* drill);

    QPushButton *TeruletBtn, *Hosszusag, *TerfogatBtn, *TomegBtn;
    QPushButton *IdoBtn, *SzogBtn, *HomersekletBtn, *VegeBtn;

public slots:
    // "<- Főmenű": asks the chooser to close.
    void VegeBtnClick();

protected:
    void FormClick() override;

private:
    QList<QPushButton*> measureButtons_;
};
