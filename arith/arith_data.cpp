// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "arith/arith_data.h"

namespace kob {

namespace {

const PictureItem kAlma{"Alma1", "Alma", "Alma"};
const PictureItem kBanan{"Bann1", "Banán", "Banan"};
const PictureItem kMedve{"Medve1", "Medve", "Medve"};
const PictureItem kHamburger{"Hamburger1", "Hamburger", "Hamburger"};
const PictureItem kJeep{"Jepp1", "Jeep", "Jeep"};
const PictureItem kKocsi{"Kocsi1", "Kocsi", "Kocsi"};
const PictureItem kParadicsom{"Paradicsom1", "Paradicsom", "Paradicsom"};
const PictureItem kSzolo{"Szl1", "Szőlő", "Szolo"};
const PictureItem kVonat{"Vonat1", "Vonat", "Vonat"};

std::vector<ChoiceButton> rangeButtons() {
    return {
        {"RB2", "10-es", Choice::fixed(10), true},
        {"RB3", "20-as", Choice::fixed(20), false},
        {"RB4", "100-as", Choice::fixed(100), false},
        {"RB5", "1.000-es", Choice::fixed(1000), false},
        {"RB6", "10.000-es", Choice::fixed(10000), false},
    };
}

std::vector<ChoiceButton> tableButtons() {
    return {
        {"RB2", "2-es", Choice::fixed(2), false},   {"RB3", "3-as", Choice::fixed(3), false},
        {"RB4", "4-es", Choice::fixed(4), false},   {"RB5", "5-ös", Choice::fixed(5), false},
        {"RB6", "6-os", Choice::fixed(6), false},   {"RB7", "7-es", Choice::fixed(7), false},
        {"RB8", "8-as", Choice::fixed(8), false},   {"RB9", "9-es", Choice::fixed(9), false},
        {"RB10", "10-es", Choice::fixed(10), false}, {"RBV", "Véletlen", Choice::randomTable(), false},
    };
}

}  // namespace

const ArithWindowData& additionData() {
    static const ArithWindowData s{
        "TOsszeadForm", "Ossze", "OsszeadForm", "Kobaltfa -- Összeadás --", ArithOp::Add, {10000, 10000}, "10000", 5,
        "Számkör választás", rangeButtons(), 681, 387, 290, true,
        {kAlma, kBanan, kMedve, kHamburger, kJeep, kKocsi, kParadicsom, kSzolo, kVonat}};
    return s;
}

const ArithWindowData& subtractionData() {
    static const ArithWindowData s{
        "TKivonForm", "Kivon", "KivonForm", "Kobaltfa -- Kivonás --", ArithOp::Subtract, {10000, 10000}, "10000", 5,
        "Számkör választás", rangeButtons(), 681, 387, 290, true,
        {kBanan, kSzolo, kHamburger, kAlma, kMedve, kJeep, kParadicsom, kVonat, kKocsi}};
    return s;
}

const ArithWindowData& multiplicationData() {
    static const ArithWindowData s{
        "TSzorzasForm", "Szoroz", "SzorzasForm", "Kobaltfa -- Szorzás --", ArithOp::Multiply, {10, 10}, "", 3,
        "Szorzótábla választás", tableButtons(), 681, 290, 290, false, {}};
    return s;
}

const ArithWindowData& divisionData() {
    static const ArithWindowData s{
        "TOsztasForm", "Oszt", "OsztasForm", "Kobaltfa -- Osztás --", ArithOp::Divide, {100, 88}, "", 3,
        "Szorzótábla választás", tableButtons(), 681, 290, 290, false, {}};
    return s;
}

}  // namespace kob
