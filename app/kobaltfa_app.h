// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program: its shell and its eleven windows, created once at start in
// their fixed order and kept until the end.
#pragma once

#include <memory>

#include "app/main_window.h"

class TOsszeadForm;
class TKivonForm;
class TSzorzasForm;
class TOsztasForm;
class TMertekForm;
class TAboutForm;
class ConversionWindow;

class KobaltfaApp {
public:
    explicit KobaltfaApp(KobaltDeps deps);
    ~KobaltfaApp();

    // Settings file, cues, skins: what every window is built on.
    ProgramShell* shell() const { return shell_.get(); }

    // In creation order.
    TForm1* Form1;
    TOsszeadForm* OsszeadForm;
    TKivonForm* KivonForm;
    TSzorzasForm* SzorzasForm;
    TOsztasForm* OsztasForm;
    TMertekForm* MertekForm;
    TAboutForm* AboutForm;
    // The conversion drills, one per entry of their list; the first four
    // are area, length, volume and mass.
    QList<ConversionWindow*> conversions;
    ConversionWindow* TeruletForm;
    ConversionWindow* HosszuForm;
    ConversionWindow* TerfogatForm;
    ConversionWindow* TomegForm;

    // All eleven, in creation order.
    QList<KobaltWindow*> windows() const;

private:
    std::unique_ptr<ProgramShell> shell_;
    std::unique_ptr<TForm1> main_;
    QList<KobaltWindow*> others_;
};

// The name of the program's desktop entry without ".desktop", also the
// name of its icon and its AppStream id.
inline constexpr char kDesktopFileName[] = "hu.kobaltfa.Kobaltfa";

// Installs the application-wide parts: the desktop entry's name, font
// substitutions, the filter that lets the skin shortcuts beat text fields
// and the one that defers polishing the controls of hidden windows.
void installApplicationWide();
