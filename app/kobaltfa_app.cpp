// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's eleven windows, created in their fixed order, and the
// application-wide parts every run installs once.
#include "app/kobaltfa_app.h"

#include <QApplication>

#include "app/about_form.h"
#include "app/app_filters.h"
#include "kit/ui_common.h"
#include "arith/arith_windows.h"
#include "measure/conversion_windows.h"
#include "measure/mertek_form.h"

void installApplicationWide() {
    static bool done = false;
    if (done) return;
    done = true;
    // The desktop matches the windows to the menu entry (and so to its name
    // and icon) by this name; on Wayland it is the windows' application id.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    kobui::installFontSubstitutions();
    qApp->installEventFilter(new SkinShortcutFilter(qApp));
    qApp->installEventFilter(new HiddenWindowPolishFilter(qApp));
}

KobaltfaApp::KobaltfaApp(KobaltDeps deps) {
    installApplicationWide();
    shell_ = std::make_unique<ProgramShell>(std::move(deps));
    ProgramShell& shell = *shell_;
    main_ = std::make_unique<TForm1>(shell);
    Form1 = main_.get();
    OsszeadForm = new TOsszeadForm(shell, Form1);
    KivonForm = new TKivonForm(shell, Form1);
    SzorzasForm = new TSzorzasForm(shell, Form1);
    OsztasForm = new TOsztasForm(shell, Form1);
    MertekForm = new TMertekForm(shell, Form1);
    AboutForm = new TAboutForm(shell, Form1);
    others_ = {OsszeadForm, KivonForm, SzorzasForm, OsztasForm, MertekForm, AboutForm};
    for (const ConversionDrill& d : conversionDrills()) {
        auto* w = new ConversionWindow(shell, MertekForm, d.window);
        MertekForm->setDrill(QString::fromLatin1(d.chooserButton), w);
        conversions << w;
        others_ << w;
    }
    TeruletForm = conversions.value(0);
    HosszuForm = conversions.value(1);
    TerfogatForm = conversions.value(2);
    TomegForm = conversions.value(3);
    Form1->setTargets(OsszeadForm, KivonForm, SzorzasForm, OsztasForm, MertekForm, AboutForm);
}

KobaltfaApp::~KobaltfaApp() {
    // Windows go in reverse order of creation; the main window last, then
    // the shell they were built on.
    for (auto it = others_.rbegin(); it != others_.rend(); ++it) delete *it;
    others_.clear();
    main_.reset();
}

QList<KobaltWindow*> KobaltfaApp::windows() const {
    QList<KobaltWindow*> all{Form1};
    all += others_;
    return all;
}
