// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/main_window.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

#include "app/settings_layout.h"
#include "app/skin_manager.h"
#include "kit/accessibility.h"
#include "kit/cue.h"
#include "kit/ui_common.h"
#include "settings/byte_text.h"

namespace {

// The exit confirmation, centred on the screen: "&Igen" is the default button
// and has the focus at first, "&Nem" the cancel button (Escape); Enter and
// Space press the focused button; a button's accelerator letter presses it,
// with Alt or, while the focus is on a button, alone. The dialog's own close
// box leaves the close allowed.
class ExitDialog : public QDialog {
public:
    enum Answer { Yes = 1, No = 2, Closed = 3 };

    explicit ExitDialog(QWidget* parent) : QDialog(parent) {
        setObjectName(QStringLiteral("ExitDialog"));
        setWindowTitle(QStringLiteral("Megerősítés"));
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
        setModal(true);
        auto* icon = new QLabel(this);
        icon->setObjectName(QStringLiteral("Icon"));
        icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
        icon->setAccessibleName(QStringLiteral("kérdőjel"));
        auto* text = new QLabel(QStringLiteral(" Egész biztosan kilépsz ? "), this);
        text->setObjectName(QStringLiteral("Message"));
        auto* yes = new QPushButton(QStringLiteral("&Igen"), this);
        yes->setObjectName(QStringLiteral("Igen"));
        auto* no = new QPushButton(QStringLiteral("&Nem"), this);
        no->setObjectName(QStringLiteral("Nem"));
        yes->setDefault(true);
        yes->setAutoDefault(true);
        no->setAutoDefault(true);  // Enter on "&Nem" means "&Nem"
        yes->setAccessibleName(QStringLiteral("Igen"));
        no->setAccessibleName(QStringLiteral("Nem"));
        kobui::setButtonKeys(yes, {QStringLiteral("I"), QStringLiteral("Alt+I")});
        kobui::setButtonKeys(no, {QStringLiteral("N"), QStringLiteral("Alt+N")});
        yes_ = yes;
        no_ = no;
        connect(yes, &QPushButton::clicked, this, [this] { done(Yes); });
        connect(no, &QPushButton::clicked, this, [this] { done(No); });
        auto* top = new QHBoxLayout;
        top->addWidget(icon);
        top->addWidget(text, 1);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(yes);
        buttons->addWidget(no);
        buttons->addStretch();
        auto* v = new QVBoxLayout(this);
        v->addLayout(top);
        v->addLayout(buttons);
        yes->setFocus();
        setFixedSize(sizeHint());
        centring_ = new kobui::ScreenCentring(this);
    }

protected:
    void showEvent(QShowEvent* e) override {
        QDialog::showEvent(e);
        if (!e->spontaneous()) centring_->centre();
    }
    void keyPressEvent(QKeyEvent* e) override {
        const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
        if (e->key() == Qt::Key_Escape && mods == Qt::NoModifier) {
            done(No);
            return;
        }
        // Keys the focused button left: its letter, in either case.
        if ((mods == Qt::NoModifier || mods == Qt::ShiftModifier) && qobject_cast<QPushButton*>(focusWidget())) {
            if (e->key() == Qt::Key_I || e->key() == Qt::Key_N) {
                if (!e->isAutoRepeat()) (e->key() == Qt::Key_I ? yes_ : no_)->click();
                e->accept();
                return;
            }
        }
        QDialog::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent* e) override {
        // The close box: nothing was answered, so the close stays allowed.
        if (isVisible()) done(Closed);
        e->accept();
    }

private:
    QPushButton* yes_;
    QPushButton* no_;
    kobui::ScreenCentring* centring_;
};

}  // namespace

TForm1::TForm1(ProgramShell& shell)
    : KobaltWindow(shell, QStringLiteral("Form1"), QStringLiteral("Kobaltfa"), QSize(792, 137), Role::Frame),
      program_(shell) {
    setCursor(Qt::UpArrowCursor);
    // The window's own font: what a control without a font of its own shows.
    setFont(kobui::sansFont(11));
    program_.setMessageOwner(this);
    buildButtons();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::buildButtons() {
    const QFont big = kobui::arialFont(16, true);
    const QFont small = kobui::arialFont(13, true);
    struct B {
        QPushButton** slot;
        const char* object;
        const char* caption;
        QRect rect;
        const QFont* font;
    };
    const B buttons[] = {
        {&OsszeBtn, "OsszeBtn", "Összeadás", {24, 8, 347, 25}, &big},
        {&KivonBtn, "KivonBtn", "Kivonás", {424, 8, 347, 25}, &big},
        {&SzorozBtn, "SzorozBtn", "Szorzás", {24, 40, 347, 25}, &big},
        {&OsztBtn, "OsztBtn", "Osztás", {424, 40, 347, 25}, &big},
        {&MertekBtn, "MertekBtn", "Mértékegységek váltása", {24, 72, 347, 25}, &big},
        {&KilepBtn, "KilepBtn", "Kilépés", {424, 72, 347, 25}, &big},
        {&AboutBtn, "AboutBtn", "Segítség a használathoz", {280, 104, 249, 25}, &small},
    };
    for (const B& b : buttons) {
        auto* btn = kobui::makeButton(this, QString::fromLatin1(b.object), QString::fromUtf8(b.caption),
                                      b.rect, *b.font);
        *b.slot = btn;
    }
    // The four operation buttons draw no focus frame.
    for (QPushButton* b : {OsszeBtn, KivonBtn, SzorozBtn, OsztBtn}) b->setProperty("noFocusFrame", true);
    kobui::setTextColour(KilepBtn, Qt::red);
    connect(KilepBtn, &QPushButton::clicked, this, &TForm1::KilepBtnClick);
    connect(OsszeBtn, &QPushButton::clicked, this, &TForm1::OsszeBtnClick);
    connect(KivonBtn, &QPushButton::clicked, this, &TForm1::KivonBtnClick);
    connect(SzorozBtn, &QPushButton::clicked, this, &TForm1::SzorozBtnClick);
    connect(OsztBtn, &QPushButton::clicked, this, &TForm1::OsztBtnClick);
    connect(MertekBtn, &QPushButton::clicked, this, &TForm1::MertekBtnClick);
    connect(AboutBtn, &QPushButton::clicked, this, &TForm1::AboutBtnClick);
    setTabOrder(OsszeBtn, KivonBtn);
    setTabOrder(KivonBtn, SzorozBtn);
    setTabOrder(SzorozBtn, OsztBtn);
    setTabOrder(OsztBtn, MertekBtn);
    setTabOrder(MertekBtn, KilepBtn);
    setTabOrder(KilepBtn, AboutBtn);
}

void TForm1::setTargets(KobaltWindow* addition, KobaltWindow* subtraction, KobaltWindow* multiplication,
                        KobaltWindow* division, KobaltWindow* measures, KobaltWindow* help) {
    KobaltWindow* t[6] = {addition, subtraction, multiplication, division, measures, help};
    for (int i = 0; i < 6; ++i) targets_[i] = t[i];
}

void TForm1::open(int target) {
    if (KobaltWindow* w = targets_[target]) w->showModalFrom(this);
}

void TForm1::OsszeBtnClick() { open(0); }
void TForm1::KivonBtnClick() { open(1); }
void TForm1::SzorozBtnClick() { open(2); }
void TForm1::OsztBtnClick() { open(3); }
void TForm1::MertekBtnClick() { open(4); }
void TForm1::AboutBtnClick() { open(5); }
void TForm1::KilepBtnClick() { close(); }

void TForm1::FormCreate() {
    const kob::MainSettings s = kob::loadMainSettings(program_.settings());
    // Any bytes: a name that is not UTF-8 goes back to the file unchanged.
    SkinMen()->setSkinName(QString::fromStdU16String(kob::utf16FromBytes(s.skinName)));
    Szoveg(kob::Cue::Hello);
}

bool TForm1::askExit(QWidget* parent) {
    ExitDialog dlg(parent);
    const int r = dlg.exec();
    return r != ExitDialog::No;
}

void TForm1::FormCloseQuery(bool& canClose) {
    Szoveg(kob::Cue::YoullRegretThat);
    canClose = program_.confirmExit() ? program_.confirmExit()(this) : askExit(this);
}

void TForm1::FormClose() {
    program_.reportWriteResult(kob::storeMainSettings(
        program_.settings(), {kob::bytesFromUtf16(SkinMen()->skinName().toStdU16String())}));
    // The program ends with the main window, also after a refused write.
    emit programEnded();
}
