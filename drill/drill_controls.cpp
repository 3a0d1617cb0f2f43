// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/drill_controls.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

#include "kit/accessibility.h"
#include "kit/ui_common.h"
#include "drill/drill_ui.h"

namespace kobui {

namespace {
void setClamped(QProgressBar* bar, int value) {
    bar->setValue(std::clamp(value, bar->minimum(), bar->maximum()));
}
}  // namespace

void showNumber(QLabel* l, int n) { l->setText(QString::number(n)); }

DrillControls::DrillControls(QWidget* w, kob::DrillMechanics& mechanics, const DrillLayout& L)
    : QObject(w), m_(mechanics), window_(w) {
    const QFont counterFont = arialFont(16, true);
    const char* captions[4] = {"Összes kérdés:", "Jó válaszok száma:", "Rossz válaszok száma:", "Időn túl:"};
    const char* capNames[4] = {"OsszKerdes", "JoValasz", "RosszValasz", "IdonTul"};
    const char* numNames[4] = {"OsszSzam", "JoSzam", "RosszSzam", "IdonTulSzam"};
    const char* numAccessible[4] = {"kérdések száma", "jó válaszok száma", "rossz válaszok száma",
                                    "időn túli válaszok száma"};
    QLabel** caps[4] = {&OsszKerdes, &JoValasz, &RosszValasz, &IdonTul};
    QLabel** nums[4] = {&OsszSzam, &JoSzam, &RosszSzam, &IdonTulSzam};
    for (int i = 0; i < 4; ++i) {
        *caps[i] = makeLabel(w, QString::fromLatin1(capNames[i]), QString::fromUtf8(captions[i]), L.caption[i],
                             counterFont, Qt::AlignRight | Qt::AlignVCenter);
        *nums[i] = makeLabel(w, QString::fromLatin1(numNames[i]), QStringLiteral("999"), L.number[i],
                             counterFont, Qt::AlignRight | Qt::AlignVCenter);
        setValueLabel(*nums[i], QString::fromUtf8(numAccessible[i]));
    }

    Csik = new QProgressBar(w);
    Csik->setObjectName(QStringLiteral("Csik"));
    Csik->setGeometry(L.csik);
    Csik->setRange(0, 100);
    Csik->setValue(0);
    Csik->setFormat(QStringLiteral("%v%"));
    Csik->setAlignment(Qt::AlignCenter);
    Csik->setFont(arialFont(16, true));
    Csik->setTextVisible(true);
    Csik->setAccessibleName(QStringLiteral("jó válaszok aránya"));
    setTextColour(Csik, QColor(0x80, 0, 0));

    IdoScroll = new QScrollBar(Qt::Vertical, w);
    IdoScroll->setObjectName(QStringLiteral("IdoScroll"));
    IdoScroll->setGeometry(L.idoScroll);
    IdoScroll->setRange(kob::kMinTimeLimit, kob::kMaxTimeLimit);
    IdoScroll->setSingleStep(1);
    IdoScroll->setPageStep(1);  // a click in the track moves the limit by one second
    IdoScroll->setValue(kob::kDefaultTimeLimit);
    IdoScroll->setFocusPolicy(Qt::StrongFocus);
    IdoScroll->setAccessibleName(QStringLiteral("válaszadási idő (másodperc)"));
    IdoScroll->setCursor(Qt::PointingHandCursor);

    IdoCsik = new QProgressBar(w);
    IdoCsik->setObjectName(QStringLiteral("IdoCsik"));
    IdoCsik->setOrientation(Qt::Vertical);
    IdoCsik->setGeometry(L.idoCsik);
    IdoCsik->setRange(0, 255);
    IdoCsik->setValue(L.idoCsikStart);
    IdoCsik->setTextVisible(false);
    IdoCsik->setAccessibleName(QStringLiteral("hátralévő idő"));

    MennyiIdoVanRaSzoveg = makeLabel(w, QStringLiteral("MennyiIdoVanRaSzoveg"), L.idoLabelText, L.idoLabel,
                                     arialFont(13, true), Qt::AlignCenter);
    setValueLabel(MennyiIdoVanRaSzoveg, QStringLiteral("válaszadási idő"));

    Memo = makeLog(w, QStringLiteral("Memo"), L.memo, arialFont(L.memoFontPx, true), L.memoReadOnly,
                   L.memoFramed);
    Memo->setAccessibleName(QStringLiteral("válaszok"));

    sButton1 = makeButton(w, QStringLiteral("sButton1"), QStringLiteral("<- Főmenü"), L.back, arialFont(16, true));
    setTextColour(sButton1, QColor(0x80, 0, 0));
    sButton1->setAccessibleName(QStringLiteral("Vissza a főmenübe"));
    connect(sButton1, &QPushButton::clicked, this, &DrillControls::sButton1Click);

    ElteltIdo = new QTimer(this);
    ElteltIdo->setObjectName(QStringLiteral("ElteltIdo"));
    ElteltIdo->setInterval(1000);
    connect(ElteltIdo, &QTimer::timeout, this, &DrillControls::ElteltIdoTimer);
    connect(IdoScroll, &QScrollBar::valueChanged, this, &DrillControls::IdoScrollChange);
}

void DrillControls::sButton1Click() { window_->close(); }

// The pupil moved the bar: its range holds the value in 1..120.
void DrillControls::IdoScrollChange() {
    m_.setTimeLimit(IdoScroll->value());
    timeLimitSet();
}

void DrillControls::setTimeLimit(int seconds) {
    if (seconds == m_.state().TimeLimit) return;
    m_.setTimeLimit(seconds);
    timeLimitSet();
}

void DrillControls::timeLimitSet() {
    showTimeLimit();
    emit timeLimitChanged();
}

void DrillControls::showTimeLimit() {
    const int limit = m_.state().TimeLimit;
    {
        const QSignalBlocker shownOnly(IdoScroll);
        IdoScroll->setValue(limit);
    }
    // A new maximum leaves the gauge's progress alone; the gauge only clamps it.
    const int progress = IdoCsik->value();
    IdoCsik->setMaximum(limit);
    setClamped(IdoCsik, progress);
    MennyiIdoVanRaSzoveg->setText(QString::fromStdString(kob::timeLimitText(limit)));
}

void DrillControls::ElteltIdoTimer() {
    const int progress = m_.tick();
    // Hidden windows tick too; painting is left to the toolkit's own
    // visibility checks, so a hidden gauge costs nothing.
    setClamped(IdoCsik, progress);
}

void DrillControls::startRun() {
    showNumber(IdonTulSzam, 0);
    showNumber(JoSzam, 0);
    showNumber(RosszSzam, 0);
    showNumber(OsszSzam, 0);
    showTimeLimit();
}

void DrillControls::showVerdict(const kob::Verdict& v) {
    showNumber(IdonTulSzam, v.late_count);
    showNumber(JoSzam, v.good_count);
    showNumber(RosszSzam, v.bad_count);
    showNumber(OsszSzam, v.asked);
    Csik->setValue(std::clamp(v.percent, 0, 100));
}

}  // namespace kobui
