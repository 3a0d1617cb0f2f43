// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "measure/unit_table.h"

namespace kob {

namespace {

// The control names of one row: every window uses the length window's
// names, the area window's hectare row has its own.
struct Names {
    const char* field;
    const char* toggle;
    const char* choice;
    const char* spin;
    const char* label;
};
const Names kKm{"Nkm", "CNkm", "RBNkm", "SpinKm", "sLabel1"};
const Names kHa{"Ha", "CHa", "RBHa", "SpinHa", "sLabel2"};
const Names kM{"Nm", "CNm", "RBNm", "SpinNm", "sLabel3"};
const Names kDm{"Ndm", "CNdm", "RBNdm", "SpinNdm", "sLabel4"};
const Names kCm{"Ncm", "CNcm", "RBNcm", "SpinNcm", "sLabel5"};
const Names kMm{"Nmm", "CNmm", "RBNmm", "SpinNmm", "sLabel6"};

struct Spin {
    int max;
    int step;
    int design;
    int def;
};

UnitRow row(const Names& n, const char* caption, const char* raised, const char* raisedLabel,
            int exponent, Spin spin) {
    UnitRow r;
    r.caption = caption;
    r.raised = raised;
    r.choiceCaption = std::string(caption) + raised;
    r.logSuffix = " " + r.choiceCaption + " ";
    r.exponent = exponent;
    r.spinMin = 0;
    r.spinMax = spin.max;
    r.spinStep = spin.step;
    r.spinDesign = spin.design;
    r.spinDefault = spin.def;
    r.field = n.field;
    r.toggle = n.toggle;
    r.choice = n.choice;
    r.spin = n.spin;
    r.label = n.label;
    r.raisedLabel = raisedLabel;
    return r;
}

// A row whose unit label the window gives a width of its own.
UnitRow withLabelWidth(UnitRow r, int width) {
    r.labelWidth = width;
    return r;
}

// The four lower rows of the length, volume and mass windows share their
// spin boxes; only row 1's bound differs.
const Spin kSpinRow2{5000000, 1000, 5000000, 500000};
const Spin kSpinRow3{5000000, 10000, 5000000, 5000000};
const Spin kSpinRow4{5000000, 10000, 5000000, 5000000};
const Spin kSpinRow5{50000000, 10000, 5000000, 5000000};

}  // namespace

const UnitTable& areaTable() {
    static const UnitTable t{
        "TTeruletForm",
        "Terulet",
        {
            row(kKm, "km", "2", "sLabel8", 12, {100, 1, 100, 50}),
            row(kHa, "ha", "", "", 10, {5000, 100, 5000, 5000}),
            row(kM, "m", "2", "sLabel9", 6, {5000000, 1000, 5000000, 500000}),
            row(kDm, "dm", "2", "sLabel7", 4, {5000000, 10000, 5000000, 5000000}),
            row(kCm, "cm", "2", "sLabel10", 2, {5000000, 10000, 5000000, 5000000}),
            row(kMm, "mm", "2", "sLabel11", 0, {5000000, 10000, 5000000, 5000000}),
        },
        {0, 1, 2, 4, 3, 5}};
    return t;
}

const UnitTable& lengthTable() {
    static const UnitTable t{
        "THosszuForm",
        "Hosszu",
        {
            row(kKm, "km", "", "", 6, {1000, 1, 50, 50}),
            row(kM, "m", "", "", 3, kSpinRow2),
            row(kDm, "dm", "", "", 2, kSpinRow3),
            row(kCm, "cm", "", "", 1, kSpinRow4),
            row(kMm, "mm", "", "", 0, kSpinRow5),
        },
        {0, 1, 3, 2, 4}};
    return t;
}

const UnitTable& volumeTable() {
    static const UnitTable t{
        "TTerfogatForm",
        "Terfogat",
        {
            row(kKm, "m", "3", "sLabel11", 9, {100, 1, 100, 50}),
            withLabelWidth(row(kM, "liter", "", "", 6, kSpinRow2), 35),
            row(kDm, "dm", "3", "sLabel2", 6, kSpinRow3),
            row(kCm, "cm", "3", "sLabel7", 3, kSpinRow4),
            row(kMm, "mm", "3", "sLabel8", 0, kSpinRow5),
        },
        {0, 1, 3, 2, 4}};
    return t;
}

const UnitTable& massTable() {
    static const UnitTable t{
        "TTomegForm",
        "Tomeg",
        {
            row(kKm, "t", "", "", 6, {100, 1, 100, 50}),
            withLabelWidth(row(kM, "q", "", "", 5, kSpinRow2), 35),
            row(kDm, "kg", "", "", 3, kSpinRow3),
            withLabelWidth(row(kCm, "dkg", "", "", 1, kSpinRow4), 35),
            row(kMm, "g", "", "", 0, kSpinRow5),
        },
        {0, 1, 3, 2, 4}};
    return t;
}

}  // namespace kob
