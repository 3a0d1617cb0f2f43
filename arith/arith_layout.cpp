// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "arith/arith_layout.h"

namespace kobui {

namespace {

// Addition and subtraction: client 681 x 387, the picture strip from 280 down.
ArithLayout rangeLayout() {
    ArithLayout L;
    L.hanyszor = {2, 48, 182, 76};
    L.szorzasjel = {188, 48, 28, 72};
    L.mennyi = {218, 48, 182, 76};
    L.egyenlo = {402, 48, 32, 72};
    L.annyi = {438, 48, 188, 76};
    L.operandPx = 64;
    L.signPx = 48;
    L.equalsPx = 48;
    L.answerPx = 64;

    L.group = {8, 144, 177, 145};
    for (int y : {160, 184, 208, 232, 256}) L.buttons.push_back({22, y, 150, 20});

    DrillLayout& d = L.drill;
    const int rows[4] = {128, 152, 176, 200};
    for (int i = 0; i < 4; ++i) {
        d.caption[i] = {196, rows[i], 190, 20};
        d.number[i] = {388, rows[i], 57, 20};
    }
    d.csik = {196, 224, 249, 25};
    d.back = {196, 256, 249, 25};
    d.memo = {456, 136, 161, 145};
    d.memoFontPx = 15;
    d.idoLabel = {622, 26, 58, 18};
    d.idoScroll = {632, 48, 17, 233};
    d.idoCsik = {655, 48, 20, 233};

    // Each group fills from the sign outwards, the lower box of a column first.
    for (int i = 0; i < 10; ++i) {
        const int column = i / 2;
        const int y = (i % 2 == 0) ? 344 : 304;
        L.kep[i] = {232 - 40 * column, y};
        L.image[i] = {408 + 40 * column, y};
    }
    return L;
}

// Multiplication and division: client 681 x 290, one big question line.
ArithLayout tableLayout() {
    ArithLayout L;
    L.hanyszor = {4, 0, 166, 112};
    L.szorzasjel = {172, 0, 56, 112};
    L.mennyi = {230, 0, 112, 112};
    L.egyenlo = {344, 0, 60, 112};
    L.annyi = {408, 8, 202, 98};
    L.operandPx = 96;
    L.signPx = 128;
    L.equalsPx = 96;
    L.answerPx = 96;

    L.group = {8, 116, 196, 166};
    for (int column = 0; column < 2; ++column)
        for (int row = 0; row < 5; ++row) L.buttons.push_back({18 + 92 * column, 138 + 28 * row, 84, 22});

    DrillLayout& d = L.drill;
    const int rows[4] = {118, 142, 166, 190};
    for (int i = 0; i < 4; ++i) {
        d.caption[i] = {212, rows[i], 190, 20};
        d.number[i] = {404, rows[i], 57, 20};
    }
    d.csik = {212, 216, 249, 26};
    d.back = {212, 252, 249, 28};
    d.memo = {470, 116, 146, 166};
    d.memoFontPx = 19;
    d.idoLabel = {616, 4, 64, 18};
    d.idoScroll = {628, 24, 17, 258};
    d.idoCsik = {651, 24, 22, 258};
    return L;
}

}  // namespace

ArithLayout additionLayout() {
    ArithLayout L = rangeLayout();
    L.bigSign = {304, 280, 60, 111};
    return L;
}

ArithLayout subtractionLayout() {
    ArithLayout L = rangeLayout();
    // The minus is narrower and sits a little to the right and higher.
    L.szorzasjel = {L.szorzasjel.x() + 8, L.szorzasjel.y() - 8, 20, L.szorzasjel.height()};
    L.bigSign = {296, 280, 73, 73};
    return L;
}

ArithLayout multiplicationLayout() { return tableLayout(); }

ArithLayout divisionLayout() {
    ArithLayout L = tableLayout();
    // The countdown gauge shows a part-full bar until the first tick.
    L.drill.idoCsikStart = 100;
    return L;
}

}  // namespace kobui
