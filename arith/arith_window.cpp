// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "arith/arith_window.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <functional>

#include "kit/accessibility.h"
#include "arith/arith_settings.h"
#include "kit/cue.h"
#include "kit/shell.h"
#include "kit/ui_common.h"
#include "arith/picture_aid.h"
#include "drill/drill_controls.h"
#include "drill/drill_ui.h"

namespace {

const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kGreen(0x00, 0x80, 0x00);

QString signName(kob::ArithOp op) {
    switch (op) {
    case kob::ArithOp::Add: return QStringLiteral("plusz");
    case kob::ArithOp::Subtract: return QStringLiteral("mínusz");
    case kob::ArithOp::Multiply: return QStringLiteral("szorozva");
    case kob::ArithOp::Divide: return QStringLiteral("osztva");
    }
    return {};
}

// A range or table button. An arrow key checks the neighbouring button
// (its click runs first) and only then hands it the focus; since every
// choice puts the focus into the answer field, the field takes it back once
// the key has been handled.
class ChoiceButton final : public QRadioButton {
public:
    ChoiceButton(const QString& caption, QWidget* parent, std::function<void()> chosenByKey)
        : QRadioButton(caption, parent), chosenByKey_(std::move(chosenByKey)) {}

protected:
    void keyPressEvent(QKeyEvent* e) override {
        const QRadioButton* before = checkedSibling();
        QRadioButton::keyPressEvent(e);
        if (checkedSibling() != before) chosenByKey_();
    }

private:
    const QRadioButton* checkedSibling() const {
        for (const QRadioButton* b :
             parentWidget()->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly))
            if (b->isChecked()) return b;
        return nullptr;
    }

    std::function<void()> chosenByKey_;
};

// The buttons are one Tab stop, as a radio group is on the desktops: Tab
// enters the group on its chosen button (the first while none is chosen)
// and the next Tab leaves it; the arrow keys move inside. The others still
// take the focus from a click.
void makeOneTabStop(const QList<QRadioButton*>& group) {
    const auto follow = [group] {
        QRadioButton* stop = group.first();
        for (QRadioButton* b : group)
            if (b->isChecked()) stop = b;
        for (QRadioButton* b : group) b->setFocusPolicy(b == stop ? Qt::StrongFocus : Qt::ClickFocus);
    };
    for (QRadioButton* b : group) QObject::connect(b, &QAbstractButton::toggled, b, follow);
    follow();
}

}  // namespace

ArithWindow::ArithWindow(kobui::Shell& shell, QWidget* mainWindow, const kob::ArithWindowData& data,
                         const kobui::ArithLayout& L)
    : BackWindow(shell, mainWindow, QString::fromLatin1(data.objectName), QString::fromUtf8(data.title),
                 QSize(data.clientWidth, data.fullHeight)),
      data_(data),
      layout_(L),
      drill_(data.op, data.design, shell.makeRandom()) {
    setFont(kobui::sansFont(11));
    // The window reads its settings and starts its drill only when it is
    // opened, so its controls wait for that too. Until then its clock would
    // only count seconds that the first opening's reset throws away.
    deferControls();
}

void ArithWindow::buildControls() {
    const kobui::ArithLayout& L = layout_;
    const kob::ArithWindowData& data = data_;
    // The frame goes first so the buttons lie on top of it.
    RGSzorzo = new QGroupBox(QString::fromUtf8(data.groupCaption), this);
    RGSzorzo->setObjectName(QStringLiteral("RGSzorzo"));
    RGSzorzo->setGeometry(L.group);
    RGSzorzo->setFont(kobui::arialFont(13, true));
    RGSzorzo->setAccessibleName(RGSzorzo->title());
    kobui::setTextColour(RGSzorzo, kGreen);

    buildQuestionLine(L);
    buildButtons(L);

    controls_ = new kobui::DrillControls(this, drill_.mechanics(), L.drill);
    connect(controls_, &kobui::DrillControls::timeLimitChanged, this, [this] { Annyi->setFocus(); });

    if (data.pictureAid) {
        aid_ = new kobui::PictureAid(this, L.kep, L.image, L.bigSign, QString::fromLatin1(kob::signOf(data.op)),
                                     data.pictureMenu);
    }

    setTabOrder(Annyi, RB.first());
    for (int i = 1; i < RB.size(); ++i) setTabOrder(RB[i - 1], RB[i]);
    setTabOrder(RB.last(), controls_->IdoScroll);
    setTabOrder(controls_->IdoScroll, controls_->sButton1);

    // From here on the clock runs to the program's end, also while the
    // window is hidden.
    controls_->ElteltIdo->start();
}

ArithWindow::~ArithWindow() = default;

void ArithWindow::buildQuestionLine(const kobui::ArithLayout& L) {
    using kobui::arialFont;
    using kobui::makeLabel;
    Hanyszor = makeLabel(this, QStringLiteral("Hanyszor"), QString::fromStdString(drill_.leftText()), L.hanyszor,
                         arialFont(L.operandPx, true), Qt::AlignRight | Qt::AlignVCenter);
    kobui::setValueLabel(Hanyszor, QStringLiteral("első szám"));
    Szorzasjel = makeLabel(this, QStringLiteral("Szorzasjel"), QString::fromLatin1(kob::signOf(data_.op)),
                           L.szorzasjel, arialFont(L.signPx, true), L.signAlign);
    Szorzasjel->setAccessibleName(signName(data_.op));
    Mennyi = makeLabel(this, QStringLiteral("Mennyi"), QString::fromStdString(drill_.rightText()), L.mennyi,
                       arialFont(L.operandPx, true), Qt::AlignLeft | Qt::AlignVCenter);
    kobui::setValueLabel(Mennyi, QStringLiteral("második szám"));
    Egyenlo = makeLabel(this, QStringLiteral("Egyenlo"), QStringLiteral("="), L.egyenlo,
                        arialFont(L.equalsPx, true), Qt::AlignCenter);
    Egyenlo->setAccessibleName(QStringLiteral("egyenlő"));
    for (QLabel* l : {Hanyszor, Szorzasjel, Mennyi, Egyenlo}) kobui::setTextColour(l, Qt::black);

    Annyi = new kobui::DigitLineEdit(this, data_.answerLength);
    Annyi->setObjectName(QStringLiteral("Annyi"));
    Annyi->setGeometry(L.annyi);
    Annyi->setFont(arialFont(L.answerPx, true));
    Annyi->setFrame(false);
    Annyi->setStyleSheet(QStringLiteral(
        "QLineEdit { background-color: #F2F2F2; color: #000000; border: 1px solid #808080;"
        " border-radius: 0px; padding: 0px 2px; }"));
    Annyi->setAccessibleName(QStringLiteral("válasz"));
    // The design shows a full field; the first question empties it.
    Annyi->setText(QString::fromLatin1(data_.designAnswer));
    connect(Annyi, &kobui::DigitLineEdit::enterPressed, this, &ArithWindow::Ellenorzes);
}

void ArithWindow::buildButtons(const kobui::ArithLayout& L) {
    for (int i = 0; i < int(data_.buttons.size()); ++i) {
        const kob::ChoiceButton& c = data_.buttons[size_t(i)];
        // Siblings on the window: choosing one clears the others.
        auto* b = new ChoiceButton(QString::fromUtf8(c.caption), this, [this] { RB2Click(); });
        b->setObjectName(QString::fromLatin1(c.object));
        b->setGeometry(L.buttons.value(i));
        b->setFont(kobui::arialFont(13, true));
        b->setCursor(Qt::PointingHandCursor);
        b->setAccessibleName(b->text());
        kobui::setTextColour(b, kMaroon);
        connect(b, &QRadioButton::clicked, this, &ArithWindow::RB2Click);
        RB << b;
    }
    RB.first()->setChecked(true);
    makeOneTabStop(RB);
}

int ArithWindow::selectedButton() const {
    for (int i = 0; i < RB.size(); ++i)
        if (RB[i]->isChecked()) return i;
    return -1;
}

void ArithWindow::RB2Click() { Annyi->setFocus(); }

void ArithWindow::KepValtasClick(const QString& name) {
    if (aid_) aid_->KepValtasClick(name);
}

void ArithWindow::ElteltIdoTimer() { controls_->ElteltIdoTimer(); }

void ArithWindow::General() {
    if (aid_) aid_->hideAll();
    const int selected = selectedButton();
    const kob::ChoiceButton* button = selected >= 0 ? &data_.buttons[size_t(selected)] : nullptr;
    drill_.General(button ? button->choice : kob::Choice::none());
    // The range 10 shows the picture strip; the others cut it off. With no
    // range chosen the window keeps its height.
    if (button && data_.fullHeight != data_.shortHeight)
        setClientHeight(button->pictures ? data_.fullHeight : data_.shortHeight);
    Hanyszor->setText(QString::fromStdString(drill_.leftText()));
    Mennyi->setText(QString::fromStdString(drill_.rightText()));
    if (aid_ && button && button->pictures) aid_->showCounts(drill_.operands().left, drill_.operands().right);
    // Emptied with its typing history: a new question is no place to undo
    // into the last answer, and the history would grow with every answer.
    Annyi->setText(QString());
    Annyi->setFocus();
}

void ArithWindow::Ellenorzes() {
    const auto checked = drill_.Ellenorzes(Annyi->text().toStdString());
    if (!checked) return;  // nothing to judge: the question stays
    const kob::Verdict& v = checked->verdict;
    Szoveg(v.cue);
    controls_->Memo->appendLine(QString::fromStdString(checked->logLine), v.colour);
    controls_->showVerdict(v);
    General();
}

void ArithWindow::onShow() {
    FormCreate();
    FormActivate();
}

void ArithWindow::FormCreate() {
    const kob::ArithSettings s = kob::loadArithSettings(shell().settings(), data_);
    // The time limit first, then the buttons in order, each through its
    // setter; the record already holds the one the last stored as selected
    // chose.
    controls_->setTimeLimit(s.timeLimit);
    for (int i = 0; i < RB.size(); ++i) setButton(RB[i], s.selected == std::size_t(i));
}

void ArithWindow::setButton(QRadioButton* b, bool on) {
    if (b->isChecked() == on) return;
    if (on) {
        b->setChecked(true);
    } else {
        // A selected radio button cannot be cleared while it is exclusive.
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
    RB2Click();
}

void ArithWindow::FormActivate() {
    drill_.activate();
    controls_->startRun();
    Szoveg(kob::Cue::DragonBall);
    General();
    kobui::RoundControl(controls_->Memo);
    kobui::RoundControl(RGSzorzo);
    controls_->Memo->clear();
    controls_->Csik->setValue(0);
}

void ArithWindow::FormClick() {
    Szoveg(kob::Cue::LeaveMeAlone);
    Annyi->setFocus();
}

void ArithWindow::FormClose() {
    kob::ArithSettings s;
    s.timeLimit = drill_.state().TimeLimit;
    const int selected = selectedButton();
    s.selected = selected >= 0 ? std::optional<std::size_t>(std::size_t(selected)) : std::nullopt;
    shell().reportWriteResult(kob::storeArithSettings(shell().settings(), data_, s));
}
