// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The built-in skins as data: the table of rows (stored name, menu item,
// glyph set, palette inks and the values the style sheet template asks
// for) and the filling of the template from a row.
#include "app/skin_table.h"

#include <QFile>


namespace {

// Every row gives a value to every role the template asks for (the skin
// table test fills the template from each row and finds no placeholder
// left and no value unused). Besides the roles below, the template may ask
// for "glyphs" (the row's glyph prefix), "window-texture" (the window's
// background image declaration, empty without a texture) and the palette
// inks as "palette-window", "palette-base", ... (see inkOf()). A row's
// inks come in the order of SkinInks: window, window text, base, alternate
// base, text, button, button text, highlight; highlighted text, tip base,
// tip text, light, mid, dark, disabled text, link.
const std::vector<SkinRow> kRows = {
    // Aluminium: brushed light grey metal, dark ink, a cool blue for focus,
    // selection and the gauges.
    {"Aluminium (internal)", "Aluminium Skin", "AluminiumSkin1", Qt::Key_A, "skin-aluminium", "brushed",
     {"#dfe2e6", "#1d2227", "#ffffff", "#eef0f2", "#111417", "#e4e7ea", "#1d2227", "#3d7bd0",
      "#ffffff", "#f7f8fa", "#1d2227", "#ffffff", "#a3a9b1", "#6b727b", "#8d939a", "#1f5fb4"},
     {
         {"window-ground", "#dfe2e6"},
         {"chrome-font", ""},
         {"label-card", ""},
         {"panel-ground", "rgba(255, 255, 255, 70)"},
         {"panel-rim", "1px solid #a3a9b1"},
         {"frame-corner", "6px"},
         {"button-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fdfdfe, stop:0.45 #eceef1, "
                         "stop:0.5 #dde1e5, stop:1 #cbd0d6)"},
         {"button-rim", "#7f8790"},
         {"button-rim-shade", "border-bottom-color: #646b74;"},
         {"button-corner", "5px"},
         {"button-padding", "0px 8px"},
         {"button-hover-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:0.45 #f3f6f9, "
                               "stop:0.5 #e6ebf1, stop:1 #d5dce4)"},
         {"button-hover-rim", "border-color: #4f86c6;"},
         {"button-pressed-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #c3c9d0, stop:0.5 #d3d8de, "
                                 "stop:1 #e3e6ea)"},
         {"button-pressed-rim", "#59616b"},
         {"button-pressed-shift", "padding-top: 1px;"},
         {"focus-rim", "1px solid #2f6fc2"},
         {"default-button-rim", "border-color: #2f6fc2;"},
         {"dialog-button-size", ""},
         {"button-disabled-face", "#e3e5e8"},
         {"button-disabled-rim", "#b4b9bf"},
         {"button-disabled-ink", "#979da4"},
         {"choice-ink", ""},
         {"choice-spacing", "5px"},
         {"box-size", "13px"},
         {"box-rim", "1px solid #6b727b"},
         {"box-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #dfe3e7)"},
         {"radio-corner", "7px"},
         {"check-corner", "3px"},
         {"box-hover-rim", "#2f6fc2"},
         {"box-hover-ground", ""},
         {"radio-checked-ground", "qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.4, fy:0.35, stop:0 #7fb0ec, "
                                  "stop:0.5 #2f6fc2, stop:0.56 #ffffff, stop:1 #e4e8ec)"},
         {"radio-checked-rim", ""},
         {"check-checked-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5d97dd, stop:1 #2f6fc2)"},
         {"check-checked-rim", "#24599e"},
         {"box-disabled-rim", "#b4b9bf"},
         {"box-disabled-ground", "#e6e8eb"},
         {"group-ground", "rgba(255, 255, 255, 60)"},
         {"group-rim", "1px solid #9aa1a9"},
         {"plate-ink", ""},
         {"group-title-padding", "0px 4px"},
         {"group-title-ground", "#e9ecef"},
         {"group-title-rim", "border: 1px solid #9aa1a9; border-radius: 3px;"},
         {"field-ink", ""},
         {"field-rim", "#7f8790"},
         {"field-rim-top", ""},
         {"field-corner", "3px"},
         {"field-focus-rim", "border-color: #2f6fc2;"},
         {"read-only-field-rim", "border-color: #a3a9b1;"},
         {"spin-focus-rim", "#2f6fc2"},
         {"spin-button-rim", "#7f8790"},
         {"spin-button-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fafbfc, stop:1 #d3d8dd)"},
         {"spin-up-button-edges", "border-top-right-radius: 3px; border-bottom: 1px solid #a3a9b1;"},
         {"spin-down-button-edges", "border-bottom-right-radius: 3px;"},
         {"spin-button-hover-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #dfe7f1)"},
         {"arrow-button-pressed-face", "#c3c9d0"},
         {"scroll-groove-ground", "qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #c9ced4, stop:0.5 #e3e6ea, "
                                  "stop:1 #c9ced4)"},
         {"scroll-groove-rim", "1px solid #9aa1a9"},
         {"scroll-corner", "3px"},
         {"scroll-groove-h-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #c9ced4, stop:0.5 #e3e6ea, "
                                    "stop:1 #c9ced4)"},
         {"scroll-thumb-face", "qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #fbfcfd, stop:0.5 #dfe3e8, "
                               "stop:1 #c3c9d0)"},
         {"scroll-thumb-rim", "1px solid #6b727b"},
         {"scroll-thumb-corner", "4px"},
         {"scroll-thumb-length", "20px"},
         {"scroll-thumb-h-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfcfd, stop:0.5 #dfe3e8, "
                                 "stop:1 #c3c9d0)"},
         {"scroll-thumb-hover", "border-color: #2f6fc2;"},
         {"scroll-button-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fafbfc, stop:1 #cdd2d8)"},
         {"scroll-button-rim", "1px solid #7f8790"},
         {"scroll-button-hover", ""},
         {"gauge-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e7eaed, stop:1 #f9fafb)"},
         {"gauge-rim", "1px solid #7f8790"},
         {"gauge-corner", "4px"},
         {"gauge-fill", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #cfe2f8, stop:0.5 #9fc3ee, stop:1 #79a9e4)"},
         {"gauge-fill-corner", "border-radius: 3px;"},
         {"countdown-groove", "background-color: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #e7eaed, "
                              "stop:1 #f9fafb);"},
         {"countdown-fill", "qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #cfe2f8, stop:0.5 #8fb9ec, "
                            "stop:1 #6a9fe0)"},
         {"menu-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f8f9fa, stop:1 #e4e7ea)"},
         {"menu-rim", "1px solid #7f8790"},
         {"menu-padding", "3px"},
         {"menu-item-padding", "4px 22px 4px 18px"},
         {"menu-item-frame", "border-radius: 3px;"},
         {"menu-item-ink", "#1d2227"},
         {"menu-selected-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5d97dd, stop:1 #2f6fc2)"},
         {"menu-selected-rim", ""},
         {"menu-selected-ink", "#ffffff"},
         {"menu-disabled-ink", "#979da4"},
         {"menu-separator-ink", "#a3a9b1"},
         {"menu-separator-margin", "3px 6px"},
         {"tip-ground", "#f7f8fa"},
         {"tip-rim", "1px solid #7f8790"},
         {"tip-corner", ""},
         {"tip-padding", "2px 4px"},
     }},
    // Smoky: a dark charcoal window with soft smoke and light text; light
    // smoked-silver controls so that the inks the windows choose for single
    // controls (black, maroon, red, green) stay readable on them, and dark-ink
    // labels on a light card. The amber of embers marks focus, selection and
    // the gauges.
    {"Smoky (internal)", "Smoky Skin", "SmokySkin1", Qt::Key_S, "skin-smoky", "smoke",
     {"#2e3034", "#eceef1", "#eef0f2", "#dfe2e6", "#111316", "#c9ccd1", "#16181b", "#f0a53a",
      "#16181b", "#3a3d42", "#f2f3f5", "#5a5e65", "#45484e", "#1b1c1f", "#8e939b", "#ffc069"},
     {
         {"window-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3d4045, stop:1 #222427)"},
         {"chrome-font", ""},
         {"label-card", "background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f1f2f4, "
                        "stop:1 #d6d9dd); border: 1px solid #141517; border-radius: 6px;"},
         {"panel-ground", "rgba(255, 255, 255, 16)"},
         {"panel-rim", "1px solid #15171a"},
         {"frame-corner", "7px"},
         {"button-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f0f1f3, stop:0.48 #d9dce0, "
                         "stop:0.52 #cdd0d5, stop:1 #b2b6bc)"},
         {"button-rim", "#111214"},
         {"button-rim-shade", ""},
         {"button-corner", "6px"},
         {"button-padding", "0px 8px"},
         {"button-hover-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfbfc, stop:0.48 #e7e9ec, "
                               "stop:0.52 #dcdfe3, stop:1 #c3c7cd)"},
         {"button-hover-rim", "border-color: #f0a53a;"},
         {"button-pressed-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #a6aab0, stop:1 #cdd0d5)"},
         {"button-pressed-rim", "#000000"},
         {"button-pressed-shift", "padding-top: 1px;"},
         {"focus-rim", "1px solid #f0a53a"},
         {"default-button-rim", "border: 1px solid #f0a53a;"},
         {"dialog-button-size", ""},
         {"button-disabled-face", "#5a5d63"},
         {"button-disabled-rim", "#2a2c30"},
         {"button-disabled-ink", "#a2a6ad"},
         {"choice-ink", "color: #16181b;"},
         {"choice-spacing", "5px"},
         {"box-size", "13px"},
         {"box-rim", "1px solid #25272b"},
         {"box-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #d3d6da)"},
         {"radio-corner", "7px"},
         {"check-corner", "3px"},
         {"box-hover-rim", "#d9841a"},
         {"box-hover-ground", ""},
         {"radio-checked-ground", "qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.4, fy:0.35, stop:0 #ffd08a, "
                                  "stop:0.5 #e08a16, stop:0.56 #ffffff, stop:1 #d3d6da)"},
         {"radio-checked-rim", ""},
         {"check-checked-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffc56b, stop:1 #f0a53a)"},
         {"check-checked-rim", "#25272b"},
         {"box-disabled-rim", "#6a6e75"},
         {"box-disabled-ground", "#8e9299"},
         {"group-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e3e5e8, stop:1 #c9ccd1)"},
         {"group-rim", "1px solid #111214"},
         {"plate-ink", "color: #16181b;"},
         {"group-title-padding", "0px 4px"},
         {"group-title-ground", "#f1f2f4"},
         {"group-title-rim", "border: 1px solid #111214; border-radius: 3px;"},
         {"field-ink", "color: #111316;"},
         {"field-rim", "#111214"},
         {"field-rim-top", ""},
         {"field-corner", "3px"},
         {"field-focus-rim", "border-color: #f0a53a;"},
         {"read-only-field-rim", ""},
         {"spin-focus-rim", "#f0a53a"},
         {"spin-button-rim", "#111214"},
         {"spin-button-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e9ebee, stop:1 #b7bbc1)"},
         {"spin-up-button-edges", "border-top-right-radius: 3px; border-bottom: 1px solid #6a6e75;"},
         {"spin-down-button-edges", "border-bottom-right-radius: 3px;"},
         {"spin-button-hover-face", "#ffd08a"},
         {"arrow-button-pressed-face", "#f0a53a"},
         {"scroll-groove-ground", "qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #141517, stop:0.5 #2a2c30, "
                                  "stop:1 #141517)"},
         {"scroll-groove-rim", "1px solid #0c0d0e"},
         {"scroll-corner", "4px"},
         {"scroll-groove-h-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #141517, stop:0.5 #2a2c30, "
                                    "stop:1 #141517)"},
         {"scroll-thumb-face", "qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #eef0f2, stop:0.5 #c9ccd1, "
                               "stop:1 #9fa3a9)"},
         {"scroll-thumb-rim", "1px solid #0c0d0e"},
         {"scroll-thumb-corner", "4px"},
         {"scroll-thumb-length", "20px"},
         {"scroll-thumb-h-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #eef0f2, stop:0.5 #c9ccd1, "
                                 "stop:1 #9fa3a9)"},
         {"scroll-thumb-hover", "border-color: #f0a53a;"},
         {"scroll-button-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e9ebee, stop:1 #b2b6bc)"},
         {"scroll-button-rim", "1px solid #0c0d0e"},
         {"scroll-button-hover", ""},
         {"gauge-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #c4c7cc, stop:1 #eceef0)"},
         {"gauge-rim", "1px solid #0c0d0e"},
         {"gauge-corner", "5px"},
         {"gauge-fill", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffe2b0, stop:0.5 #ffc164, stop:1 #f0a53a)"},
         {"gauge-fill-corner", "border-radius: 4px;"},
         {"countdown-groove", "background-color: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #141517, "
                              "stop:0.5 #2f3236, stop:1 #141517);"},
         {"countdown-fill", "qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #ffd08a, stop:0.5 #f5ac45, "
                            "stop:1 #d9841a)"},
         {"menu-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3a3d42, stop:1 #2a2c30)"},
         {"menu-rim", "1px solid #0c0d0e"},
         {"menu-padding", "3px"},
         {"menu-item-padding", "4px 22px 4px 18px"},
         {"menu-item-frame", "border-radius: 3px;"},
         {"menu-item-ink", "#eceef1"},
         {"menu-selected-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffc56b, stop:1 #f0a53a)"},
         {"menu-selected-rim", ""},
         {"menu-selected-ink", "#16181b"},
         {"menu-disabled-ink", "#7c8087"},
         {"menu-separator-ink", "#5a5e65"},
         {"menu-separator-margin", "3px 6px"},
         {"tip-ground", "#3a3d42"},
         {"tip-rim", "1px solid #f0a53a"},
         {"tip-corner", ""},
         {"tip-padding", "2px 4px"},
     }},
    // Beijing Ext: deep red lacquer with a faint golden key-fret lattice,
    // gold-leaf buttons and gauges, cream silk plates for the groups and
    // fields; labels on the lacquer are cream, dark-ink labels on a cream card.
    {"Beijing Ext (internal)", "Beijing Skin", "BeijingSkin1", Qt::Key_B, "skin-beijing", "lattice",
     {"#8e1216", "#fff3d0", "#fffaf0", "#fbefd2", "#2a0606", "#f6cf5c", "#5c0a0d", "#c81e24",
      "#fff3c4", "#7a0d11", "#ffe08a", "#ffe79e", "#b8871f", "#5a090c", "#c99a9a", "#9c1117"},
     {
         {"window-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #a8161c, stop:0.6 #8e1216, stop:1 #6c0b0e)"},
         {"chrome-font", ""},
         {"label-card", "background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fffaf0, "
                        "stop:1 #f6e6bf); border: 1px solid #d9a93a; border-radius: 6px;"},
         {"panel-ground", "rgba(60, 0, 0, 60)"},
         {"panel-rim", "2px solid #d9a93a"},
         {"frame-corner", "8px"},
         {"button-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff4c9, stop:0.45 #fbdf82, "
                         "stop:0.55 #f4c94f, stop:1 #e2a92c)"},
         {"button-rim", "#4a0508"},
         {"button-rim-shade", ""},
         {"button-corner", "7px"},
         {"button-padding", "0px 8px"},
         {"button-hover-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fffbe6, stop:0.45 #ffeaa6, "
                               "stop:0.55 #fbd86c, stop:1 #eeb93b)"},
         {"button-hover-rim", "border-color: #fff0b0;"},
         {"button-pressed-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #d69a22, stop:1 #f6d36a)"},
         {"button-pressed-rim", "#2e0204"},
         {"button-pressed-shift", "padding-top: 1px;"},
         {"focus-rim", "1px solid #fff3c4"},
         {"default-button-rim", "border: 1px solid #fff3c4;"},
         {"dialog-button-size", ""},
         {"button-disabled-face", "#b98a6a"},
         {"button-disabled-rim", "#5a1a12"},
         {"button-disabled-ink", "#6e3a2a"},
         {"choice-ink", "color: #4a0508;"},
         {"choice-spacing", "5px"},
         {"box-size", "13px"},
         {"box-rim", "1px solid #7a0d11"},
         {"box-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fffdf5, stop:1 #f5e2b0)"},
         {"radio-corner", "7px"},
         {"check-corner", "3px"},
         {"box-hover-rim", "#c81e24"},
         {"box-hover-ground", ""},
         {"radio-checked-ground", "qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.4, fy:0.35, stop:0 #ff6a5a, "
                                  "stop:0.5 #c81e24, stop:0.56 #fffdf5, stop:1 #f5e2b0)"},
         {"radio-checked-rim", ""},
         {"check-checked-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #d6282e, stop:1 #9c1117)"},
         {"check-checked-rim", "#5c0a0d"},
         {"box-disabled-rim", "#b98a6a"},
         {"box-disabled-ground", "#e8d7b8"},
         {"group-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fffaf0, stop:1 #f3e1b6)"},
         {"group-rim", "2px solid #e0b040"},
         {"plate-ink", "color: #5c0a0d;"},
         {"group-title-padding", "0px 4px"},
         {"group-title-ground", "#fffaf0"},
         {"group-title-rim", "border: 2px solid #e0b040; border-radius: 4px;"},
         {"field-ink", "color: #2a0606;"},
         {"field-rim", "#d9a93a"},
         {"field-rim-top", ""},
         {"field-corner", "4px"},
         {"field-focus-rim", "border: 1px solid #ffe08a;"},
         {"read-only-field-rim", ""},
         {"spin-focus-rim", "#ffe08a"},
         {"spin-button-rim", "#b8871f"},
         {"spin-button-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff0b8, stop:1 #eab73c)"},
         {"spin-up-button-edges", "border-top-right-radius: 4px; border-bottom: 1px solid #b8871f;"},
         {"spin-down-button-edges", "border-bottom-right-radius: 4px;"},
         {"spin-button-hover-face", "#ffe79e"},
         {"arrow-button-pressed-face", "#d69a22"},
         {"scroll-groove-ground", "qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #4a0508, stop:0.5 #6c0b0e, "
                                  "stop:1 #4a0508)"},
         {"scroll-groove-rim", "1px solid #d9a93a"},
         {"scroll-corner", "4px"},
         {"scroll-groove-h-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #4a0508, stop:0.5 #6c0b0e, "
                                    "stop:1 #4a0508)"},
         {"scroll-thumb-face", "qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #fff0b8, stop:0.5 #f6cf5c, "
                               "stop:1 #d69a22)"},
         {"scroll-thumb-rim", "1px solid #4a0508"},
         {"scroll-thumb-corner", "4px"},
         {"scroll-thumb-length", "20px"},
         {"scroll-thumb-h-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff0b8, stop:0.5 #f6cf5c, "
                                 "stop:1 #d69a22)"},
         {"scroll-thumb-hover", "border-color: #fff3c4;"},
         {"scroll-button-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff0b8, stop:1 #e2a92c)"},
         {"scroll-button-rim", "1px solid #4a0508"},
         {"scroll-button-hover", ""},
         {"gauge-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f1dfb4, stop:1 #fffaf0)"},
         {"gauge-rim", "1px solid #e0b040"},
         {"gauge-corner", "5px"},
         {"gauge-fill", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffe7a0, stop:0.5 #f7c445, stop:1 #e39b1f)"},
         {"gauge-fill-corner", "border-radius: 4px;"},
         {"countdown-groove", "background-color: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #4a0508, "
                              "stop:0.5 #6c0b0e, stop:1 #4a0508);"},
         {"countdown-fill", "qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #fff0b8, stop:0.5 #f6cf5c, "
                            "stop:1 #d69a22)"},
         {"menu-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #a8161c, stop:1 #7a0d11)"},
         {"menu-rim", "2px solid #e0b040"},
         {"menu-padding", "3px"},
         {"menu-item-padding", "4px 22px 4px 18px"},
         {"menu-item-frame", "border-radius: 4px;"},
         {"menu-item-ink", "#ffe08a"},
         {"menu-selected-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff0b8, stop:1 #eab73c)"},
         {"menu-selected-rim", ""},
         {"menu-selected-ink", "#5c0a0d"},
         {"menu-disabled-ink", "#c99a9a"},
         {"menu-separator-ink", "#e0b040"},
         {"menu-separator-margin", "3px 6px"},
         {"tip-ground", "#7a0d11"},
         {"tip-rim", "1px solid #e0b040"},
         {"tip-corner", ""},
         {"tip-padding", "2px 4px"},
     }},
    // Vista: glassy sky-blue gradients, glossy buttons with a bright upper
    // half, a green glass progress bar, navy ink.
    {"Vista (internal)", "Vista Skin", "VistaSkin1", Qt::Key_V, "skin-vista", nullptr,
     {"#dbe8f5", "#0f2a4a", "#ffffff", "#eef5fc", "#0d1b2a", "#e3eef9", "#0f2a4a", "#2a7fd4",
      "#ffffff", "#ffffff", "#1b3552", "#ffffff", "#8fb2d6", "#4c7aa8", "#8397ad", "#1360b8"},
     {
         {"window-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f3f8fd, stop:0.35 #dde9f6, "
                           "stop:1 #b9d2ec)"},
         {"chrome-font", ""},
         {"label-card", ""},
         {"panel-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 rgba(255, 255, 255, 170), "
                          "stop:1 rgba(255, 255, 255, 70))"},
         {"panel-rim", "1px solid #8fb2d6"},
         {"frame-corner", "6px"},
         {"button-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfdff, stop:0.48 #e4effb, "
                         "stop:0.52 #cfe2f6, stop:1 #b4d1f0)"},
         {"button-rim", "#6e96c2"},
         {"button-rim-shade", ""},
         {"button-corner", "4px"},
         {"button-padding", "0px 8px"},
         {"button-hover-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f2fbff, stop:0.48 #dcf3fd, "
                               "stop:0.52 #bfe6fa, stop:1 #9fd7f6)"},
         {"button-hover-rim", "border-color: #3c7fb1;"},
         {"button-pressed-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #c6e2f8, stop:0.48 #aed4f2, "
                                 "stop:0.52 #95c5ec, stop:1 #86bde9)"},
         {"button-pressed-rim", "#2c628b"},
         {"button-pressed-shift", "padding-top: 1px;"},
         {"focus-rim", "1px solid #2a7fd4"},
         {"default-button-rim", "border: 1px solid #2a7fd4;"},
         {"dialog-button-size", ""},
         {"button-disabled-face", "#e9eef4"},
         {"button-disabled-rim", "#b2c3d6"},
         {"button-disabled-ink", "#8397ad"},
         {"choice-ink", ""},
         {"choice-spacing", "5px"},
         {"box-size", "13px"},
         {"box-rim", "1px solid #4c7aa8"},
         {"box-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #d7e6f5)"},
         {"radio-corner", "7px"},
         {"check-corner", "2px"},
         {"box-hover-rim", "#2a7fd4"},
         {"box-hover-ground", "background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, "
                              "stop:1 #c7e6fa);"},
         {"radio-checked-ground", "qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.4, fy:0.3, stop:0 #bfe6ff, "
                                  "stop:0.25 #4aa3ee, stop:0.5 #1c5fae, stop:0.56 #ffffff, stop:1 #d7e6f5)"},
         {"radio-checked-rim", ""},
         {"check-checked-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #6fb5f2, stop:0.5 #2a7fd4, "
                                  "stop:1 #1c5fae)"},
         {"check-checked-rim", "#1c4f8c"},
         {"box-disabled-rim", "#b2c3d6"},
         {"box-disabled-ground", "#edf1f5"},
         {"group-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 rgba(255, 255, 255, 190), "
                          "stop:1 rgba(255, 255, 255, 90))"},
         {"group-rim", "1px solid #8fb2d6"},
         {"plate-ink", ""},
         {"group-title-padding", "0px 4px"},
         {"group-title-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #e3eef9)"},
         {"group-title-rim", "border: 1px solid #8fb2d6; border-radius: 3px;"},
         {"field-ink", ""},
         {"field-rim", "#8fb2d6"},
         {"field-rim-top", "border-top-color: #6e96c2;"},
         {"field-corner", "3px"},
         {"field-focus-rim", "border-color: #2a7fd4;"},
         {"read-only-field-rim", ""},
         {"spin-focus-rim", "#2a7fd4"},
         {"spin-button-rim", "#8fb2d6"},
         {"spin-button-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfdff, stop:0.48 #e4effb, "
                              "stop:0.52 #cfe2f6, stop:1 #b4d1f0)"},
         {"spin-up-button-edges", "border-top-right-radius: 3px; border-bottom: 1px solid #8fb2d6;"},
         {"spin-down-button-edges", "border-bottom-right-radius: 3px;"},
         {"spin-button-hover-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f2fbff, stop:1 #9fd7f6)"},
         {"arrow-button-pressed-face", "#95c5ec"},
         {"scroll-groove-ground", "qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #dfe9f3, stop:0.5 #f4f8fc, "
                                  "stop:1 #dfe9f3)"},
         {"scroll-groove-rim", "1px solid #a9c2dc"},
         {"scroll-corner", "3px"},
         {"scroll-groove-h-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #dfe9f3, stop:0.5 #f4f8fc, "
                                    "stop:1 #dfe9f3)"},
         {"scroll-thumb-face", "qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #fbfdff, stop:0.48 #e4effb, "
                               "stop:0.52 #cfe2f6, stop:1 #a9cbef)"},
         {"scroll-thumb-rim", "1px solid #6e96c2"},
         {"scroll-thumb-corner", "3px"},
         {"scroll-thumb-length", "20px"},
         {"scroll-thumb-h-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfdff, stop:0.48 #e4effb, "
                                 "stop:0.52 #cfe2f6, stop:1 #a9cbef)"},
         {"scroll-thumb-hover", "border-color: #3c7fb1;"},
         {"scroll-button-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfdff, stop:0.48 #e4effb, "
                                "stop:0.52 #cfe2f6, stop:1 #b4d1f0)"},
         {"scroll-button-rim", "1px solid #8fb2d6"},
         {"scroll-button-hover", ""},
         {"gauge-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e6e6e6, stop:0.5 #f7f7f7, stop:1 #ececec)"},
         {"gauge-rim", "1px solid #8f9aa6"},
         {"gauge-corner", "3px"},
         {"gauge-fill", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #dcf7d0, stop:0.45 #9fe382, "
                        "stop:0.55 #6fd34c, stop:1 #8ee06b)"},
         {"gauge-fill-corner", "border-radius: 2px;"},
         {"countdown-groove", "background-color: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #e6e6e6, "
                              "stop:0.5 #f7f7f7, stop:1 #ececec);"},
         {"countdown-fill", "qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #dcf7d0, stop:0.45 #9fe382, "
                            "stop:0.55 #5ec83a, stop:1 #7fd65b)"},
         {"menu-ground", "#fbfcfe"},
         {"menu-rim", "1px solid #8f9aa6"},
         {"menu-padding", "3px"},
         {"menu-item-padding", "4px 22px 4px 18px"},
         {"menu-item-frame", "border: 1px solid transparent; border-radius: 3px;"},
         {"menu-item-ink", "#0f2a4a"},
         {"menu-selected-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f2f8fe, stop:1 #d3e8fd)"},
         {"menu-selected-rim", "border-color: #8ec3f4;"},
         {"menu-selected-ink", "#0f2a4a"},
         {"menu-disabled-ink", "#8397ad"},
         {"menu-separator-ink", "#c9d8e8"},
         {"menu-separator-margin", "3px 6px"},
         {"tip-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #e4eefa)"},
         {"tip-rim", "1px solid #8f9aa6"},
         {"tip-corner", "border-radius: 3px;"},
         {"tip-padding", "2px 4px"},
     }},
    // WEB: a flat white page, web blue for the accents. Buttons are light
    // blue pills with blue ink (they must stay light: some windows write red
    // or maroon captions on them), fields have hairline borders, no gradients.
    {"WEB (internal)", "Web Skin", "WebSkin1", Qt::Key_W, "skin-web", nullptr,
     {"#ffffff", "#202124", "#ffffff", "#f5f8fc", "#202124", "#e8f0fe", "#174ea6", "#1a73e8",
      "#ffffff", "#3c4043", "#ffffff", "#ffffff", "#dadce0", "#80868b", "#9aa0a6", "#1a0dab"},
     {
         {"window-ground", "#ffffff"},
         {"chrome-font", ""},
         {"label-card", ""},
         {"panel-ground", "#f8f9fa"},
         {"panel-rim", "1px solid #dadce0"},
         {"frame-corner", "8px"},
         {"button-face", "#e8f0fe"},
         {"button-rim", "#1a73e8"},
         {"button-rim-shade", ""},
         {"button-corner", "10px"},
         {"button-padding", "0px 10px"},
         {"button-hover-face", "#d2e3fc"},
         {"button-hover-rim", ""},
         {"button-pressed-face", "#aecbfa"},
         {"button-pressed-rim", "#174ea6"},
         {"button-pressed-shift", ""},
         {"focus-rim", "2px solid #1a73e8"},
         {"default-button-rim", "border: 2px solid #1a73e8;"},
         {"dialog-button-size", "min-width: 64px; min-height: 20px;"},
         {"button-disabled-face", "#f1f3f4"},
         {"button-disabled-rim", "#dadce0"},
         {"button-disabled-ink", "#9aa0a6"},
         {"choice-ink", ""},
         {"choice-spacing", "6px"},
         {"box-size", "14px"},
         {"box-rim", "2px solid #5f6368"},
         {"box-ground", "#ffffff"},
         {"radio-corner", "9px"},
         {"check-corner", "3px"},
         {"box-hover-rim", "#1a73e8"},
         {"box-hover-ground", ""},
         {"radio-checked-ground", "qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5, stop:0 #1a73e8, "
                                  "stop:0.5 #1a73e8, stop:0.56 #ffffff, stop:1 #ffffff)"},
         {"radio-checked-rim", "border-color: #1a73e8;"},
         {"check-checked-ground", "#1a73e8"},
         {"check-checked-rim", "#1a73e8"},
         {"box-disabled-rim", "#dadce0"},
         {"box-disabled-ground", "#f1f3f4"},
         {"group-ground", "#ffffff"},
         {"group-rim", "1px solid #dadce0"},
         {"plate-ink", ""},
         {"group-title-padding", "0px 4px"},
         {"group-title-ground", "#ffffff"},
         {"group-title-rim", ""},
         {"field-ink", ""},
         {"field-rim", "#dadce0"},
         {"field-rim-top", ""},
         {"field-corner", "4px"},
         {"field-focus-rim", "border-color: #1a73e8;"},
         {"read-only-field-rim", ""},
         {"spin-focus-rim", "#1a73e8"},
         {"spin-button-rim", "#dadce0"},
         {"spin-button-face", "#f8f9fa"},
         {"spin-up-button-edges", "border-top-right-radius: 4px;"},
         {"spin-down-button-edges", "border-bottom-right-radius: 4px;"},
         {"spin-button-hover-face", "#e8f0fe"},
         {"arrow-button-pressed-face", "#d2e3fc"},
         {"scroll-groove-ground", "#f1f3f4"},
         {"scroll-groove-rim", "none"},
         {"scroll-corner", "4px"},
         {"scroll-groove-h-ground", "#f1f3f4"},
         {"scroll-thumb-face", "#bdc1c6"},
         {"scroll-thumb-rim", "3px solid #f1f3f4"},
         {"scroll-thumb-corner", "7px"},
         {"scroll-thumb-length", "24px"},
         {"scroll-thumb-h-face", "#bdc1c6"},
         {"scroll-thumb-hover", "background-color: #1a73e8;"},
         {"scroll-button-face", "#f1f3f4"},
         {"scroll-button-rim", "none"},
         {"scroll-button-hover", "background-color: #e8f0fe;"},
         {"gauge-ground", "#e8eaed"},
         {"gauge-rim", "none"},
         {"gauge-corner", "4px"},
         {"gauge-fill", "#8ab4f8"},
         {"gauge-fill-corner", "border-radius: 4px;"},
         {"countdown-groove", ""},
         {"countdown-fill", "#1a73e8"},
         {"menu-ground", "#ffffff"},
         {"menu-rim", "1px solid #dadce0"},
         {"menu-padding", "4px 0px"},
         {"menu-item-padding", "5px 24px 5px 20px"},
         {"menu-item-frame", ""},
         {"menu-item-ink", "#202124"},
         {"menu-selected-ground", "#e8f0fe"},
         {"menu-selected-rim", ""},
         {"menu-selected-ink", "#174ea6"},
         {"menu-disabled-ink", "#9aa0a6"},
         {"menu-separator-ink", "#dadce0"},
         {"menu-separator-margin", "4px 0px"},
         {"tip-ground", "#3c4043"},
         {"tip-rim", "none"},
         {"tip-corner", "border-radius: 4px;"},
         {"tip-padding", "3px 6px"},
     }},
    // Elegant: warm cream paper, deep green ink and rims, a thin gold line for
    // focus and selection. The serif touch goes where the windows chose no
    // font of their own: the skin menu, the hints and the confirmation dialog.
    {"Elegant (internal)", "Elegant Skin", "ElegantSkin1", Qt::Key_E, "skin-elegant", nullptr,
     {"#f6f0e1", "#1d3a2b", "#fffdf7", "#f8f3e6", "#1c1a14", "#f3ead3", "#173d2b", "#1f5a3f",
      "#fbf6e6", "#1f4d36", "#fbf6e6", "#fffdf7", "#c8b98f", "#7d6f48", "#a49b84", "#1f5a3f"},
     {
         {"window-ground", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fcf8ee, stop:0.6 #f5eedb, stop:1 #ece1c5)"},
         {"chrome-font", "font-family: \"Liberation Serif\", \"DejaVu Serif\", serif;"},
         {"label-card", ""},
         {"panel-ground", "rgba(255, 253, 247, 150)"},
         {"panel-rim", "1px solid #1f4d36"},
         {"frame-corner", "4px"},
         {"button-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fffdf7, stop:0.5 #f6efdc, stop:1 #e6d9b6)"},
         {"button-rim", "#1f4d36"},
         {"button-rim-shade", ""},
         {"button-corner", "3px"},
         {"button-padding", "0px 8px"},
         {"button-hover-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:0.5 #fbf6e8, "
                               "stop:1 #efe5c8)"},
         {"button-hover-rim", "border-color: #b08d3c;"},
         {"button-pressed-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #dccd9f, stop:1 #f3ead3)"},
         {"button-pressed-rim", "#173d2b"},
         {"button-pressed-shift", "padding-top: 1px;"},
         {"focus-rim", "1px solid #b08d3c"},
         {"default-button-rim", "border: 1px solid #b08d3c;"},
         {"dialog-button-size", ""},
         {"button-disabled-face", "#efe8d6"},
         {"button-disabled-rim", "#bfb597"},
         {"button-disabled-ink", "#a49b84"},
         {"choice-ink", ""},
         {"choice-spacing", "5px"},
         {"box-size", "13px"},
         {"box-rim", "1px solid #1f4d36"},
         {"box-ground", "#fffdf7"},
         {"radio-corner", "7px"},
         {"check-corner", "1px"},
         {"box-hover-rim", "#b08d3c"},
         {"box-hover-ground", ""},
         {"radio-checked-ground", "qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5, stop:0 #1f5a3f, "
                                  "stop:0.45 #1f4d36, stop:0.52 #fffdf7, stop:1 #fffdf7)"},
         {"radio-checked-rim", ""},
         {"check-checked-ground", "#1f4d36"},
         {"check-checked-rim", "#173d2b"},
         {"box-disabled-rim", "#bfb597"},
         {"box-disabled-ground", "#efe8d6"},
         {"group-ground", "rgba(255, 253, 247, 140)"},
         {"group-rim", "3px double #1f4d36"},
         {"plate-ink", ""},
         {"group-title-padding", "0px 5px"},
         {"group-title-ground", "#fcf8ee"},
         {"group-title-rim", "border: 1px solid #b08d3c; border-radius: 2px;"},
         {"field-ink", ""},
         {"field-rim", "#8c7f5a"},
         {"field-rim-top", ""},
         {"field-corner", "2px"},
         {"field-focus-rim", "border-color: #1f4d36;"},
         {"read-only-field-rim", ""},
         {"spin-focus-rim", "#1f4d36"},
         {"spin-button-rim", "#8c7f5a"},
         {"spin-button-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fffdf7, stop:1 #e6d9b6)"},
         {"spin-up-button-edges", "border-bottom: 1px solid #c8b98f;"},
         {"spin-down-button-edges", ""},
         {"spin-button-hover-face", "#f3ead3"},
         {"arrow-button-pressed-face", "#dccd9f"},
         {"scroll-groove-ground", "#efe6cf"},
         {"scroll-groove-rim", "1px solid #8c7f5a"},
         {"scroll-corner", "2px"},
         {"scroll-groove-h-ground", "#efe6cf"},
         {"scroll-thumb-face", "qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #3a7356, stop:0.5 #2a6146, "
                               "stop:1 #1f4d36)"},
         {"scroll-thumb-rim", "1px solid #b08d3c"},
         {"scroll-thumb-corner", "2px"},
         {"scroll-thumb-length", "20px"},
         {"scroll-thumb-h-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3a7356, stop:0.5 #2a6146, "
                                 "stop:1 #1f4d36)"},
         {"scroll-thumb-hover", "background-color: #2f6b4d;"},
         {"scroll-button-face", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fffdf7, stop:1 #e6d9b6)"},
         {"scroll-button-rim", "1px solid #8c7f5a"},
         {"scroll-button-hover", ""},
         {"gauge-ground", "#fffdf7"},
         {"gauge-rim", "1px solid #8c7f5a"},
         {"gauge-corner", "2px"},
         {"gauge-fill", "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #d6e8cf, stop:1 #a9cc9f)"},
         {"gauge-fill-corner", ""},
         {"countdown-groove", ""},
         {"countdown-fill", "qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #3a7356, stop:1 #1f4d36)"},
         {"menu-ground", "#1f4d36"},
         {"menu-rim", "1px solid #b08d3c"},
         {"menu-padding", "4px"},
         {"menu-item-padding", "4px 24px 4px 20px"},
         {"menu-item-frame", ""},
         {"menu-item-ink", "#fbf6e6"},
         {"menu-selected-ground", "#c9a448"},
         {"menu-selected-rim", ""},
         {"menu-selected-ink", "#173d2b"},
         {"menu-disabled-ink", "#8fa898"},
         {"menu-separator-ink", "#b08d3c"},
         {"menu-separator-margin", "3px 8px"},
         {"tip-ground", "#1f4d36"},
         {"tip-rim", "1px solid #b08d3c"},
         {"tip-corner", ""},
         {"tip-padding", "2px 5px"},
     }},
};

// The palette ink a "palette-..." role names, nullptr for none.
const char* inkOf(const SkinInks& k, QStringView role) {
    static const struct {
        const char* role;
        const char* SkinInks::*ink;
    } kInks[] = {
        {"palette-window", &SkinInks::window},
        {"palette-window-text", &SkinInks::windowText},
        {"palette-base", &SkinInks::base},
        {"palette-alternate-base", &SkinInks::alternate},
        {"palette-text", &SkinInks::text},
        {"palette-button", &SkinInks::button},
        {"palette-button-text", &SkinInks::buttonText},
        {"palette-highlight", &SkinInks::highlight},
        {"palette-highlighted-text", &SkinInks::highlighted},
        {"palette-tip-base", &SkinInks::tipBase},
        {"palette-tip-text", &SkinInks::tipText},
        {"palette-light", &SkinInks::light},
        {"palette-mid", &SkinInks::mid},
        {"palette-dark", &SkinInks::dark},
        {"palette-disabled-text", &SkinInks::disabledText},
        {"palette-link", &SkinInks::link},
    };
    for (const auto& i : kInks)
        if (role == QLatin1String(i.role)) return k.*(i.ink);
    return nullptr;
}

QString withoutComments(const QString& s) {
    QString out;
    out.reserve(s.size());
    qsizetype pos = 0;
    while (pos < s.size()) {
        const qsizetype open = s.indexOf(QLatin1String("/*"), pos);
        if (open < 0) break;
        out += QStringView(s).mid(pos, open - pos);
        const qsizetype close = s.indexOf(QLatin1String("*/"), open + 2);
        pos = close < 0 ? s.size() : close + 2;
    }
    out += QStringView(s).mid(pos);
    return out;
}

// Drops every rule whose declaration block holds nothing but blanks.
QString withoutEmptyRules(const QString& s) {
    QString out;
    out.reserve(s.size());
    qsizetype pos = 0;
    while (pos < s.size()) {
        const qsizetype open = s.indexOf(QLatin1Char('{'), pos);
        const qsizetype close = open < 0 ? -1 : s.indexOf(QLatin1Char('}'), open);
        if (close < 0) break;
        if (!QStringView(s).mid(open + 1, close - open - 1).trimmed().isEmpty())
            out += QStringView(s).mid(pos, close + 1 - pos);
        pos = close + 1;
    }
    out += QStringView(s).mid(pos);
    return out;
}

}  // namespace

namespace skins {

const std::vector<SkinRow>& table() { return kRows; }

const SkinRow* find(const QString& name) {
    for (const SkinRow& r : kRows)
        if (name == QLatin1String(r.name)) return &r;
    return nullptr;
}

QString sheetTemplate() {
    QFile f(QStringLiteral(":/skins/template.qss"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

FilledSheet fill(const QString& tmpl, const SkinRow& row) {
    const QString glyphs = QString::fromLatin1(row.glyphs);
    const QString texture = row.texture ? QStringLiteral("background-image: url(:/pictures/%1-%2.png);")
                                              .arg(glyphs, QLatin1String(row.texture))
                                        : QString();
    std::vector<bool> used(row.sheet.size(), false);
    auto valueOf = [&](QStringView role, QString* value) {
        if (role == QLatin1String("glyphs")) {
            *value = glyphs;
            return true;
        }
        if (role == QLatin1String("window-texture")) {
            *value = texture;
            return true;
        }
        if (const char* ink = inkOf(row.inks, role)) {
            *value = QLatin1String(ink);
            return true;
        }
        for (size_t i = 0; i < row.sheet.size(); ++i)
            if (role == QLatin1String(row.sheet[i].role)) {
                used[i] = true;
                *value = QString::fromUtf8(row.sheet[i].value);
                return true;
            }
        return false;
    };

    FilledSheet result;
    const QString s = withoutComments(tmpl);
    QString out;
    out.reserve(s.size() + s.size() / 2);
    qsizetype pos = 0;
    while (pos < s.size()) {
        const qsizetype open = s.indexOf(QLatin1String("${"), pos);
        const qsizetype close = open < 0 ? -1 : s.indexOf(QLatin1Char('}'), open + 2);
        if (close < 0) break;
        out += QStringView(s).mid(pos, open - pos);
        const QStringView role = QStringView(s).mid(open + 2, close - open - 2);
        QString value;
        if (valueOf(role, &value)) {
            out += value;
        } else {
            out += QStringView(s).mid(open, close + 1 - open);
            if (!result.unfilled.contains(role)) result.unfilled << role.toString();
        }
        pos = close + 1;
    }
    out += QStringView(s).mid(pos);
    for (size_t i = 0; i < row.sheet.size(); ++i)
        if (!used[i]) result.unused << QString::fromLatin1(row.sheet[i].role);
    result.text = withoutEmptyRules(out);
    return result;
}

QList<Qt::Key> shortcutKeys() {
    QList<Qt::Key> keys;
    for (const SkinRow& row : kRows) keys << row.key;
    return keys;
}

}  // namespace skins
