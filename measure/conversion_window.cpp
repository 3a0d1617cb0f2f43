// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "measure/conversion_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

#include "kit/cue.h"
#include "kit/shell.h"
#include "kit/ui_common.h"
#include "drill/drill_controls.h"
#include "drill/drill_ui.h"

namespace kobui {

namespace {

// The characters that may stand in a unit field, whatever road they came by.
QString numberCharacters(const QString& text) {
    return QString::fromStdString(kob::ConversionEngine::filterText(text.toStdString()));
}

}  // namespace

UnitField::UnitField(QWidget* parent) : QLineEdit(parent) {
    setContextMenuPolicy(Qt::NoContextMenu);  // the window's skin menu instead
    // Pasted or dropped text keeps only what typing could have put there.
    connect(this, &QLineEdit::textEdited, this, [this](const QString& t) {
        const QString clean = numberCharacters(t);
        if (clean == t) return;
        const int pos = std::min<int>(cursorPosition(), int(clean.size()));
        setText(clean);
        setCursorPosition(pos);
    });
}

void UnitField::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();  // passes, but the check runs only from its button
        return;
    }
    const QString t = e->text();
    if (!t.isEmpty() && t.at(0).isPrint() && !isReadOnly()) {
        const char32_t typed = t.toUcs4().value(0);
        const char32_t passed = kob::ConversionEngine::filterKey(typed);
        if (passed == 0) {
            e->accept();
            return;
        }
        if (passed != typed) {
            insert(QString(QChar(char16_t(passed))));
            e->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(e);
}

MaxSpinBox::MaxSpinBox(QWidget* parent) : QSpinBox(parent) {
    setLocale(QLocale::c());
    // Its own style rules would otherwise let a skin change reset the font.
    setFont(sansFont(11));
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    lineEdit()->setMaxLength(10);
    // The text sits in the box's own frame: a skin's border and padding for
    // single-line fields would take the room of the eighth digit.
    setStyleSheet(QStringLiteral("QLineEdit { border: none; padding: 0px; margin: 0px; background: transparent; }"));
    setContextMenuPolicy(Qt::NoContextMenu);
}

bool MaxSpinBox::typable(QChar c) const {
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == locale().decimalPoint().at(0);
}

void MaxSpinBox::keyPressEvent(QKeyEvent* e) {
    const QString t = e->text();
    if (!t.isEmpty()) {
        const QChar c = t.at(0);
        const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        const bool control = c.unicode() < 0x20 || c.unicode() == 0x7f;
        if (enter || !(control || typable(c))) {
            QApplication::beep();
            e->accept();
            return;
        }
    }
    QSpinBox::keyPressEvent(e);
}

QValidator::State MaxSpinBox::validate(QString& input, int&) const {
    // Only a paste can bring other characters; it is refused whole.
    for (QChar c : input)
        if (!typable(c)) return QValidator::Invalid;
    const std::optional<int> n = kob::spinTextNumber(input.toStdString());
    return n && *n >= minimum() && *n <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void MaxSpinBox::fixup(QString& input) const {
    input = textFromValue(kob::spinSettledValue(input.toStdString(), minimum(), maximum()));
}

int MaxSpinBox::valueFromText(const QString& text) const {
    return kob::spinSettledValue(text.toStdString(), minimum(), maximum());
}

}  // namespace kobui

namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

kobui::DrillLayout drillLayout() {
    kobui::DrillLayout L;
    const int lineY[4] = {8, 32, 56, 80};
    for (int i = 0; i < 4; ++i) {
        L.caption[i] = QRect(384, lineY[i], 181, 20);
        L.number[i] = QRect(576, lineY[i], 27, 20);
    }
    L.csik = QRect(384, 104, 217, 25);
    L.idoScroll = QRect(620, 32, 17, 233);
    L.idoCsik = QRect(646, 32, 17, 233);
    L.idoLabel = QRect(616, 0, 49, 19);
    L.memo = QRect(8, 296, 649, 121);
    L.back = QRect(24, 256, 201, 25);
    L.memoFontPx = 19;
    L.memoReadOnly = false;  // the pupil may write into the log
    L.memoFramed = true;
    L.idoLabelText = QStringLiteral("mp");
    L.idoCsikStart = 0;
    return L;
}

QString q(const std::string& s) { return QString::fromStdString(s); }

// The first field that waits for an answer gets the keyboard, else the check.
void focusFirstAnswer(const std::vector<ConversionWindow::UnitControls>& rows, std::optional<std::size_t> given,
                      QWidget* check) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (given != i && !rows[i].field->isHidden()) {
            rows[i].field->setFocus();
            return;
        }
    }
    check->setFocus();
}

// A choice reaches to the next one on its line, or to the frame's edge.
int choiceWidth(const ConversionLayout& L, std::size_t i) {
    int right = 384 + 217 - 4;
    for (std::size_t j = 0; j < L.choiceAt.size(); ++j) {
        const QPoint& o = L.choiceAt[j];
        if (o.y() == L.choiceAt[i].y() && o.x() > L.choiceAt[i].x()) right = std::min(right, o.x() - 2);
    }
    return right - L.choiceAt[i].x();
}

}  // namespace

ConversionWindow::ConversionWindow(kobui::Shell& shell, QWidget* chooser, const ConversionWindowData& data)
    : BackWindow(shell, chooser, QString::fromLatin1(data.objectName), QString::fromUtf8(data.title),
                 QSize(665, 426)),
      table_(*data.table),
      engine_(*data.table, shell.makeRandom()),
      data_(data) {
    setFont(kobui::sansFont(11));
    FormCreate();
    // The controls wait for the first opening; they take the values read
    // now, whatever the file holds by then.
    deferControls();
}

void ConversionWindow::buildControls() {
    const ConversionWindowData& data = data_;
    drill_ = new kobui::DrillControls(this, engine_.mechanics(), drillLayout());
    // The log is built holding one empty line, kept for the whole run: the
    // first task checked stands on its second row.
    drill_->Memo->appendLine(QString(), 0x000000);
    buildRows(data);
    buildRightColumn();
    buildTabOrder();

    connect(Kovetkezo, &QPushButton::clicked, this, &ConversionWindow::KovetkezoClick);
    connect(EllenBtn, &QPushButton::clicked, this, &ConversionWindow::EllenBtnClick);
    for (const UnitControls& r : rows_) {
        connect(r.toggle, &QCheckBox::toggled, this, &ConversionWindow::CNkmClick);
        // A choice becoming selected (also from the settings) recolours the
        // rows, and so does every click, even on the choice already selected.
        connect(r.choice, &QRadioButton::toggled, this, [this](bool on) {
            if (on) RBNkmClick();
        });
        connect(r.choice, &QRadioButton::clicked, this, &ConversionWindow::RBNkmClick);
    }
    if (data.spinKmRunsIdoScrollChange) {
        // Every change of the first maximum's text re-applies the time limit.
        connect(rows_.front().spin, &QSpinBox::textChanged, this, &ConversionWindow::IdoScrollChange);
    }
    applySettings(created_);
}

ConversionWindow::~ConversionWindow() = default;

void ConversionWindow::buildRows(const ConversionWindowData& data) {
    const ConversionLayout& L = data.layout;
    const QFont fieldFont = kobui::arialFont(21, true);
    const QFont labelFont = kobui::arialFont(19, true);
    const QFont raisedFont = kobui::arialFont(16, true);
    const QFont choiceFont = kobui::arialFont(13, true);

    // The frame goes first so that the choices drawn inside it stay on top;
    // they belong to the window, so choosing one clears all the others.
    Trg = new QGroupBox(QStringLiteral("Melyiket váltsuk át ?"), this);
    Trg->setObjectName(QStringLiteral("Trg"));
    Trg->setGeometry(384, 168, 217, 81);
    Trg->setFont(choiceFont);

    for (std::size_t i = 0; i < table_.size(); ++i) {
        const kob::UnitRow& u = table_.rows[i];
        const int y = L.fieldY[i];
        const QString unit = q(u.choiceCaption);
        UnitControls r{};

        r.field = new kobui::UnitField(this);
        r.field->setObjectName(q(u.field));
        r.field->setGeometry(24, y, 201, 32);
        r.field->setFont(fieldFont);
        r.field->setAccessibleName(unit + QStringLiteral(" mező"));

        r.toggle = new QCheckBox(this);
        r.toggle->setObjectName(q(u.toggle));
        r.toggle->setGeometry(0, y + 8, 20, 17);
        r.toggle->setChecked(true);
        r.toggle->setAccessibleName(unit + QStringLiteral(" bekapcsolva"));

        // A label is as wide as its row says or, where the row gives no
        // width, as its text and a little air, so that skins that put ink
        // labels on a card do not cut them.
        const QFontMetrics labelMetrics(labelFont);
        const int labelWidth = u.labelWidth > 0 ? u.labelWidth : labelMetrics.horizontalAdvance(q(u.caption)) + 6;
        r.label = kobui::makeLabel(this, q(u.label), q(u.caption), QRect(232, y + 8, labelWidth, 22), labelFont,
                                   Qt::AlignCenter);
        kobui::setTextColour(r.label, kBlack);
        r.raised = nullptr;
        if (!u.raisedLabel.empty()) {
            const QFontMetrics raisedMetrics(raisedFont);
            r.raised = kobui::makeLabel(this, q(u.raisedLabel), q(u.raised),
                                        QRect(L.raisedAt[i], QSize(raisedMetrics.horizontalAdvance(q(u.raised)) + 4, 18)),
                                        raisedFont, Qt::AlignCenter);
            kobui::setTextColour(r.raised, kBlack);
            r.raised->setAccessibleName(u.raised == "2" ? QStringLiteral("négyzet") : QStringLiteral("köb"));
        }

        auto* spin = new kobui::MaxSpinBox(this);
        spin->setObjectName(q(u.spin));
        spin->setGeometry(288, y, 89, 22);
        spin->setRange(u.spinMin, u.spinMax);
        spin->setSingleStep(u.spinStep);
        spin->setValue(u.spinDesign);
        spin->setAccessibleName(unit + QStringLiteral(" legnagyobb értéke"));
        r.spin = spin;

        r.choice = new QRadioButton(unit, this);
        r.choice->setObjectName(q(u.choice));
        r.choice->setFont(choiceFont);
        r.choice->setGeometry(QRect(L.choiceAt[i], QSize(choiceWidth(L, i), 22)));
        r.choice->setCursor(Qt::PointingHandCursor);

        rows_.push_back(r);
        textColour_.push_back(kBlack);
        setLook(i, kob::FieldLook::Plain);
    }
}

void ConversionWindow::buildRightColumn() {
    const QFont buttonFont = kobui::arialFont(16, true);
    EllenBtn = kobui::makeButton(this, QStringLiteral("EllenBtn"), QStringLiteral("Ellenőrzés"),
                                 QRect(384, 136, 217, 25), buttonFont);
    EllenBtn->setEnabled(false);
    Kovetkezo = kobui::makeButton(this, QStringLiteral("Kovetkezo"), QStringLiteral("Következő feladat"),
                                  QRect(384, 256, 217, 25), buttonFont);
}

void ConversionWindow::buildTabOrder() {
    // Choose the unit, draw the task, fill the fields, check; then the
    // options, the time limit, the log and the way back.
    QList<QWidget*> chain;
    for (const UnitControls& r : rows_) chain << r.choice;
    chain << Kovetkezo;
    for (const UnitControls& r : rows_) chain << r.field;
    chain << EllenBtn;
    for (const UnitControls& r : rows_) chain << r.toggle;
    for (const UnitControls& r : rows_) chain << r.spin;
    chain << drill_->IdoScroll << drill_->Memo << drill_->sButton1;
    for (int i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

// ---------------------------------------------------------------- settings

void ConversionWindow::FormCreate() { created_ = kob::loadConversionSettings(shell().settings(), table_); }

void ConversionWindow::applySettings(const kob::ConversionSettings& s) {
    // Each value goes through the control's own setter: a changed one runs
    // the control's handler as the pupil's change would, an equal one nothing.
    drill_->setTimeLimit(s.timeLimit);
    for (std::size_t i = 0; i < rows_.size(); ++i) rows_[i].spin->setValue(s.maxima[i]);
    for (std::size_t i = 0; i < rows_.size(); ++i) rows_[i].toggle->setChecked(s.switchedOn[i]);
    if (s.given) {
        rows_[*s.given].choice->setChecked(true);
    } else if (const auto g = givenRow()) {
        // Clearing a selection takes the choices out of their group for a moment.
        QRadioButton* b = rows_[*g].choice;
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
        RBNkmClick();
    }
}

kob::ConversionSettings ConversionWindow::currentSettings() const {
    kob::ConversionSettings s;
    s.timeLimit = engine_.drill().TimeLimit;
    for (const UnitControls& r : rows_) {
        s.maxima.push_back(kob::spinTextValue(r.spin->text().toStdString()));
        s.switchedOn.push_back(r.toggle->isChecked());
    }
    s.given = givenRow();
    return s;
}

void ConversionWindow::FormClose() {
    const kob::WriteResult r = kob::storeConversionSettings(shell().settings(), table_, currentSettings());
    shell().reportWriteResult(r);
}

// ---------------------------------------------------------------- handlers

void ConversionWindow::FormActivate() {
    engine_.activate();
    drill_->startRun();
    Szoveg(kob::Cue::DragonBall);
    for (const UnitControls& r : rows_) kobui::RoundControl(r.field);
    kobui::RoundControl(Trg);
    kobui::RoundControl(drill_->Memo);
    drill_->Csik->setValue(0);
    // The keyboard starts at the pupil's next step: the open task's first
    // field, else the choice of the given unit.
    if (EllenBtn->isEnabled()) {
        focusFirstAnswer(rows_, givenRow(), EllenBtn);
    } else {
        const auto given = givenRow();
        rows_[given.value_or(0)].choice->setFocus();
    }
}

void ConversionWindow::FormClick() { Szoveg(kob::Cue::LeaveMeAlone); }

std::optional<std::size_t> ConversionWindow::givenRow() const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].choice->isChecked()) return i;
    return std::nullopt;
}

void ConversionWindow::setLook(std::size_t row, kob::FieldLook look) {
    QColor background = kWhite;
    switch (look) {
    case kob::FieldLook::Plain:
        textColour_[row] = kBlack;
        break;
    case kob::FieldLook::Given:
        background = kBlue;
        textColour_[row] = kWhite;
        break;
    case kob::FieldLook::Right:
        background = kGreen;
        break;
    case kob::FieldLook::Wrong:
        background = kRed;
        break;
    }
    // The border follows the rounded clip of the field.
    rows_[row].field->setStyleSheet(
        QStringLiteral("QLineEdit { background-color: %1; color: %2; border: 1px solid #7a7a7a;"
                       " border-radius: 9px; padding: 0 6px; }")
            .arg(background.name(), textColour_[row].name()));
}

void ConversionWindow::RBNkmClick() {
    const auto given = givenRow();
    const std::vector<kob::FieldLook> looks = engine_.chooseLooks(given);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        setLook(i, looks[i]);
        if (given == i) rows_[i].toggle->setChecked(true);
    }
    CNkmClick();
}

void ConversionWindow::CNkmClick() {
    // A hidden field keeps its text.
    for (const UnitControls& r : rows_) r.field->setVisible(r.toggle->isChecked());
}

void ConversionWindow::KovetkezoClick() {
    std::vector<std::int64_t> maxima;
    for (const UnitControls& r : rows_) {
        // A box may still hold what was typed into it: read as it settles.
        maxima.push_back(kob::spinSettledValue(r.spin->text().toStdString(), r.spin->minimum(), r.spin->maximum()));
    }
    const auto given = givenRow();
    const std::optional<std::string> shown = engine_.newTask(given, maxima);
    if (!shown) return;  // a task is already open

    drill_->ElteltIdo->start();  // the first tick one second from now
    for (const UnitControls& r : rows_) {
        r.field->setText(QString());  // with its typing history, as a new task begins
        r.field->setReadOnly(false);
    }
    EllenBtn->setEnabled(true);
    RBNkmClick();
    if (given) rows_[*given].field->setText(q(*shown));
    Kovetkezo->setEnabled(false);

    // The pupil writes next.
    focusFirstAnswer(rows_, given, EllenBtn);
}

void ConversionWindow::EllenBtnClick() {
    kob::ConversionAnswer answer;
    for (const UnitControls& r : rows_) {
        answer.texts.push_back(r.field->text().toStdString());
        answer.switchedOn.push_back(r.toggle->isChecked());
    }
    answer.given = givenRow();
    const std::optional<kob::ConversionCheck> c = engine_.check(answer);
    if (!c) return;

    drill_->ElteltIdo->stop();
    Kovetkezo->setEnabled(true);
    Kovetkezo->setFocus();
    EllenBtn->setEnabled(false);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        rows_[i].field->setReadOnly(true);
        setLook(i, c->looks[i]);
    }
    Szoveg(c->verdict.cue);
    drill_->Memo->appendLine(q(c->logLine), c->verdict.colour);
    drill_->showVerdict(c->verdict);
}

void ConversionWindow::ElteltIdoTimer() { drill_->ElteltIdoTimer(); }

void ConversionWindow::IdoScrollChange() { drill_->IdoScrollChange(); }
