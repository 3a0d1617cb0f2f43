// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What tells the four arithmetic windows apart: titles, signs, the radio
// buttons with their captions and values, the design texts, the sizes, the
// answer length, the names of the settings sections and the picture menus.
// Plain C++.
#pragma once

#include <vector>

#include "arith/arith_questions.h"

namespace kob {

struct ChoiceButton {
    const char* object;   // "RB2"
    const char* caption;  // "10-es"
    Choice choice;
    bool pictures;        // the range that shows the counting aid
};

// One item of the picture menu: object name, caption, resource name.
struct PictureItem {
    const char* object;
    const char* caption;
    const char* resource;
};

struct ArithWindowData {
    const char* windowClass;   // the window's class name, which names it in the settings table
    const char* sectionStem;   // names its settings sections: "Ossze" gives OsszeTimer, OsszeRadioButtonok
    const char* objectName;
    const char* title;
    ArithOp op;
    Operands design;           // the operand labels' design texts
    const char* designAnswer;  // the answer field's design text
    int answerLength;          // digits the answer field takes
    const char* groupCaption;
    // In reading (and settings) order; each is the key of the same name in
    // the number-choice section, the first one selected by default.
    std::vector<ChoiceButton> buttons;
    int clientWidth;
    int fullHeight;            // the whole design
    int shortHeight;           // picture strip cut off (== fullHeight without the aid)
    bool pictureAid;
    std::vector<PictureItem> pictureMenu;  // in the window's menu order
};

const ArithWindowData& additionData();
const ArithWindowData& subtractionData();
const ArithWindowData& multiplicationData();
const ArithWindowData& divisionData();

// The picture every box shows at program start.
inline constexpr const char* kFirstPicture = "Alma";

}  // namespace kob
