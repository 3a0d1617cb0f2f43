// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Where the controls of the arithmetic windows stand and how big their
// characters are. Addition and subtraction share one arrangement (with the
// picture strip at the bottom), multiplication and division another.
#pragma once

#include <QPoint>
#include <QRect>
#include <QVector>

#include "drill/drill_controls.h"

namespace kobui {

struct ArithLayout {
    // The question line.
    QRect hanyszor, szorzasjel, mennyi, egyenlo, annyi;
    int operandPx = 64;  // Hanyszor, Mennyi (bold)
    int signPx = 48;     // Szorzasjel (bold)
    int equalsPx = 48;   // Egyenlo (bold)
    int answerPx = 64;   // Annyi (bold)
    Qt::Alignment signAlign = Qt::AlignCenter;

    // The radio buttons' frame and the buttons, in reading order.
    QRect group;
    QVector<QRect> buttons;

    DrillLayout drill;

    // The picture counting aid (addition and subtraction only).
    QRect bigSign;        // sLabelFX1
    QPoint kep[10];       // first operand's boxes, in filling order
    QPoint image[10];     // second operand's boxes
};

ArithLayout additionLayout();
ArithLayout subtractionLayout();
ArithLayout multiplicationLayout();
ArithLayout divisionLayout();

}  // namespace kobui
