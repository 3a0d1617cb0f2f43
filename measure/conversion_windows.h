// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The conversion drills: one window class, one entry per unit table. Each
// entry names the button of the measures chooser that opens it and
// describes its window (unit table, names, title, where its rows stand).
// Adding a drill is adding its unit table and its entry here.
#pragma once

#include <vector>

#include "measure/conversion_window.h"

struct ConversionDrill {
    const char* chooserButton;  // "TeruletBtn"
    ConversionWindowData window;
};

// In the chooser's order: area (km2, ha, m2, dm2, cm2, mm2), length (km, m,
// dm, cm, mm), volume (m3, liter, dm3, cm3, mm3), mass (t, q, kg, dkg, g).
const std::vector<ConversionDrill>& conversionDrills();
