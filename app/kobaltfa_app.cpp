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
    main_ = std::make_unique<TForm1>(std::move(deps));
    Form1 = main_.get();
    OsszeadForm = new TOsszeadForm(Form1);
    KivonForm = new TKivonForm(Form1);
    SzorzasForm = new TSzorzasForm(Form1);
    OsztasForm = new TOsztasForm(Form1);
    MertekForm = new TMertekForm(Form1);
    AboutForm = new TAboutForm(Form1);
    TeruletForm = new TTeruletForm(Form1, MertekForm);
    HosszuForm = new THosszuForm(Form1, MertekForm);
    TerfogatForm = new TTerfogatForm(Form1, MertekForm);
    TomegForm = new TTomegForm(Form1, MertekForm);
    others_ = {OsszeadForm, KivonForm, SzorzasForm, OsztasForm, MertekForm, AboutForm,
               TeruletForm, HosszuForm, TerfogatForm, TomegForm};
    Form1->setTargets(OsszeadForm, KivonForm, SzorzasForm, OsztasForm, MertekForm, AboutForm);
    MertekForm->setTargets(TeruletForm, HosszuForm, TerfogatForm, TomegForm);
}

KobaltfaApp::~KobaltfaApp() {
    // Windows go in reverse order of creation; the main window last.
    for (auto it = others_.rbegin(); it != others_.rend(); ++it) delete *it;
    others_.clear();
}

QList<KobaltWindow*> KobaltfaApp::windows() const {
    QList<KobaltWindow*> all{Form1};
    all += others_;
    return all;
}
