#include "app/kobaltfa_app.h"

#include <QApplication>
#include <QKeyEvent>

#include "app/about_form.h"
#include "kit/ui_common.h"
#include "arith/arith_windows.h"
#include "measure/conversion_windows.h"
#include "measure/mertek_form.h"

namespace {

// Text fields accept the ShortcutOverride of Ctrl+A, Ctrl+V and friends, so
// the skin shortcuts would never fire while one has the focus. The skin
// menu's shortcuts come first everywhere.
class SkinShortcutFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* obj, QEvent* e) override {
        if (e->type() == QEvent::PolishRequest && obj->isWidgetType()) {
            // A control of a window that is not shown is polished when its
            // window is shown (showing polishes the whole window), so the
            // start does not pay for the ten hidden windows.
            if (!static_cast<QWidget*>(obj)->window()->isVisible()) return true;
        }
        if (e->type() == QEvent::ShortcutOverride) {
            auto* k = static_cast<QKeyEvent*>(e);
            const Qt::KeyboardModifiers mods = k->modifiers() & ~Qt::KeypadModifier;
            if (mods == Qt::ControlModifier) {
                switch (k->key()) {
                case Qt::Key_A: case Qt::Key_S: case Qt::Key_B:
                case Qt::Key_V: case Qt::Key_W: case Qt::Key_E:
                    e->ignore();
                    return true;
                default:
                    break;
                }
            }
        }
        return QObject::eventFilter(obj, e);
    }
};

}  // namespace

void installApplicationWide() {
    static bool done = false;
    if (done) return;
    done = true;
    // The desktop matches the windows to the menu entry (and so to its name
    // and icon) by this name; on Wayland it is the windows' application id.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    kobui::installFontSubstitutions();
    qApp->installEventFilter(new SkinShortcutFilter(qApp));
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
        auto* w = new ConversionWindow(shell, MertekForm, d.spec);
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
