// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The conversion drills: where each lays out its rows, and which button of
// the measures chooser opens it.
#include "measure/conversion_windows.h"

namespace {

// Five rows 48 pixels apart; the choices in two lines inside the frame.
ConversionLayout fiveRows(std::vector<QPoint> raisedAt) {
    return {{16, 64, 112, 160, 208},
            {{392, 192}, {472, 192}, {536, 192}, {393, 224}, {472, 224}},
            std::move(raisedAt)};
}

}  // namespace

const std::vector<ConversionDrill>& conversionDrills() {
    static const std::vector<ConversionDrill> drills{
        // Six rows 40 pixels apart, the raised "2" after every unit but the hectare.
        {"TeruletBtn",
         {&kob::areaTable(), "TeruletForm", "Kobaltfa -- Terület átváltás --",
          {{16, 56, 96, 136, 176, 216},
           {{392, 192}, {471, 192}, {536, 192}, {392, 224}, {473, 224}, {536, 224}},
           {{264, 16}, {}, {252, 96}, {264, 136}, {264, 176}, {268, 216}}},
          false}},
        {"Hosszusag",
         {&kob::lengthTable(), "HosszuForm", "Kobaltfa -- Hosszúság átváltás --", fiveRows({}), false}},
        // The raised "3" of every unit but the litre.
        {"TerfogatBtn",
         {&kob::volumeTable(), "TerfogatForm", "Kobaltfa -- Térfogat átváltás --",
          fiveRows({{256, 16}, {}, {264, 115}, {264, 160}, {268, 208}}), true}},
        {"TomegBtn", {&kob::massTable(), "TomegForm", "Kobaltfa -- Tömeg átváltás --", fiveRows({}), false}},
    };
    return drills;
}
