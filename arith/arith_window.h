// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window of one arithmetic drill: the question line, the radio buttons
// of the number ranges or times tables, the shared drill controls and, in
// addition and subtraction, the picture counting aid, all bound to one
// ArithDrill. The four windows differ only by their description and
// arrangement.
#pragma once

#include <QList>
#include <QString>

#include "kit/back_window.h"
#include "arith/arith_drill.h"
#include "arith/arith_layout.h"
#include "arith/arith_data.h"

class QGroupBox;
class QLabel;
class QRadioButton;

namespace kobui {
class DigitLineEdit;
class DrillControls;
class PictureAid;
}  // namespace kobui

class ArithWindow : public BackWindow {
    Q_OBJECT
public:
    ArithWindow(kobui::Shell& shell, QWidget* mainWindow, const kob::ArithWindowData& data,
                const kobui::ArithLayout& layout);
    ~ArithWindow() override;

    const kob::ArithWindowData& data() const { return data_; }
    kob::ArithDrill& drill() { return drill_; }
    kobui::DrillControls* controls() const { return controls_; }
    kobui::PictureAid* pictures() const { return aid_; }

    // The controls below are built when the window is first shown (or on
    // ensureBuilt); until then they are null.

    // The question line.
    QLabel *Hanyszor = nullptr, *Szorzasjel = nullptr, *Mennyi = nullptr, *Egyenlo = nullptr;
    kobui::DigitLineEdit* Annyi = nullptr;
    // The frame and the radio buttons, RB2 first, in settings order.
    QGroupBox* RGSzorzo = nullptr;
    QList<QRadioButton*> RB;

    // The selected button's index, -1 when none is selected.
    int selectedButton() const;

public slots:
    // Poses the next question.
    void General();
    // Judges the answer in Annyi, then poses the next question.
    void Ellenorzes();
    // One tick of ElteltIdo.
    void ElteltIdoTimer();
    // Any of the radio buttons: the answer field gets the focus back.
    void RB2Click();
    // Loads the named picture into all twenty boxes (addition, subtraction).
    void KepValtasClick(const QString& name);

protected:
    // The program shows the window: settings, then a fresh drill run.
    void onShow() override;
    void FormClick() override;
    void FormClose() override;

    void FormCreate();
    void FormActivate();
    void buildControls() override;

private:
    void buildQuestionLine(const kobui::ArithLayout& L);
    void buildButtons(const kobui::ArithLayout& L);
    void setButton(QRadioButton* b, bool on);

    const kob::ArithWindowData& data_;
    const kobui::ArithLayout layout_;
    kob::ArithDrill drill_;
    kobui::DrillControls* controls_ = nullptr;
    kobui::PictureAid* aid_ = nullptr;
};
