// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The controls every drill window carries, bound to its drill mechanics:
// the four counters, the percentage gauge `Csik`, the time-limit bar
// `IdoScroll` with its countdown gauge `IdoCsik` and label, the answer log
// `Memo`, the back button `sButton1` and the one-second timer `ElteltIdo`.
// The windows place them; this binds them.
#pragma once

#include <QObject>
#include <QRect>
#include <QString>

#include "drill/drill_state.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTimer;
class QWidget;

namespace kobui {

class AnswerLog;

struct DrillLayout {
    QRect caption[4];  // OsszKerdes, JoValasz, RosszValasz, IdonTul
    QRect number[4];   // OsszSzam, JoSzam, RosszSzam, IdonTulSzam
    QRect csik;
    QRect idoScroll;
    QRect idoCsik;
    QRect idoLabel;
    QRect memo;
    QRect back;
    int memoFontPx = 15;
    bool memoReadOnly = true;
    bool memoFramed = false;
    QString idoLabelText;  // the label's text before the limit is shown
    int idoCsikStart = 0;  // the countdown gauge's progress before the first tick
};

class DrillControls : public QObject {
    Q_OBJECT
public:
    DrillControls(QWidget* window, kob::DrillMechanics& mechanics, const DrillLayout& layout);

    QLabel *OsszKerdes, *OsszSzam, *JoValasz, *JoSzam, *RosszValasz, *RosszSzam, *IdonTul, *IdonTulSzam;
    QProgressBar* Csik;
    QScrollBar* IdoScroll;
    QProgressBar* IdoCsik;
    QLabel* MennyiIdoVanRaSzoveg;
    AnswerLog* Memo;
    QPushButton* sButton1;
    QTimer* ElteltIdo;

    kob::DrillMechanics& mechanics() { return m_; }

    // Activation's part: the drill's limit shown on the gauge and the label
    // (so the gauge drains visibly from the first question), the counters
    // at "0", the percentage at 0.
    void startRun();
    // The counters in their order: late, good, bad, asked; then the gauge.
    void showVerdict(const kob::Verdict& v);
    // Shows the drill's limit on the bar, the countdown gauge and the label.
    void showTimeLimit();

    // Gives the drill a limit read from the settings (already in 1..120): a
    // changed limit is shown and announced as the pupil's move of the bar
    // would be, an equal one does nothing.
    void setTimeLimit(int seconds);

signals:
    // The limit changed (after the handler's own work).
    void timeLimitChanged();

public slots:
    void IdoScrollChange();
    void ElteltIdoTimer();
    // "<- Főmenü": closes the window exactly like its close box.
    void sButton1Click();

private:
    void timeLimitSet();

    kob::DrillMechanics& m_;
    QWidget* window_;
};

// Shows a number in a counter label.
void showNumber(QLabel* l, int n);

}  // namespace kobui
