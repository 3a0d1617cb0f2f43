// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window of a conversion drill, bound to the conversion engine and
// built from its unit table: one row of field, switch, unit label, maximum
// and choice per unit, the counters, the percentage gauge, the time-limit
// bar and the answer log. The area, length, volume and mass windows are
// this window with their own description (ConversionWindowData).
#pragma once

#include <QColor>
#include <QLineEdit>
#include <QPoint>
#include <QSpinBox>
#include <memory>
#include <optional>
#include <vector>

#include "kit/back_window.h"
#include "measure/conversion_engine.h"
#include "measure/conversion_settings.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace kobui {
class DrillControls;
}

// Where one window puts its unit rows (client coordinates); everything else
// is the same in all four windows.
struct ConversionLayout {
    std::vector<int> fieldY;          // top of each row's field
    std::vector<QPoint> choiceAt;     // each row's radio button
    std::vector<QPoint> raisedAt;     // each row's raised digit (rows with one)
};

struct ConversionWindowData {
    const kob::UnitTable* table;
    const char* objectName;  // "HosszuForm"
    const char* title;       // "Kobaltfa -- Hosszúság átváltás --"
    ConversionLayout layout;
    // The volume window runs the time-limit change on every change of its
    // first maximum.
    bool spinKmRunsIdoScrollChange = false;
};

namespace kobui {

// A unit field: only the characters of a number reach it (a comma typed
// becomes a point); Enter is taken and does nothing.
class UnitField : public QLineEdit {
public:
    explicit UnitField(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

// A maximum spin box: digits, signs, the point and control keys are typed,
// any other key is refused with the alert beep; at most 10 characters; the
// point is the separator. Whatever those keys make stands in the box until
// it is left (or stepped): then a text that is no whole number counts as 0
// and the value is clamped to the bounds.
class MaxSpinBox : public QSpinBox {
public:
    explicit MaxSpinBox(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    int valueFromText(const QString& text) const override;

private:
    bool typable(QChar c) const;
};

}  // namespace kobui

class ConversionWindow : public BackWindow {
    Q_OBJECT
public:
    ConversionWindow(kobui::Shell& shell, QWidget* chooser, const ConversionWindowData& data);
    ~ConversionWindow() override;

    // The controls of one unit row, top to bottom as in the unit table.
    struct UnitControls {
        QLineEdit* field;
        QCheckBox* toggle;
        QRadioButton* choice;
        QSpinBox* spin;
        QLabel* label;
        QLabel* raised;  // nullptr for a unit without a raised digit
    };
    const std::vector<UnitControls>& unitControls() const { return rows_; }

    const kob::ConversionEngine& engine() const { return engine_; }
    kobui::DrillControls* controls() const { return drill_; }

    // The controls are built when the window is first shown (or on
    // ensureBuilt); until then these are null and unitControls() is empty.
    QPushButton* EllenBtn = nullptr;
    QPushButton* Kovetkezo = nullptr;
    QGroupBox* Trg = nullptr;

    // The window's handlers, also callable from outside (tests drive the
    // clock through ElteltIdoTimer).
    void FormActivate();
    void RBNkmClick();
    void CNkmClick();
    void KovetkezoClick();
    void EllenBtnClick();
    void ElteltIdoTimer();
    void IdoScrollChange();

protected:
    void onShow() override { FormActivate(); }
    void FormClick() override;
    void FormClose() override;

private:
    void buildRows(const ConversionWindowData& data);
    void buildRightColumn();
    void buildTabOrder();
    // Reads the window's settings (once, at program start).
    void FormCreate();
    // Applies them to the controls in the file's order; a changed value
    // runs the control's handler as the pupil's change would.
    void applySettings(const kob::ConversionSettings& s);
    void buildControls() override;

    std::optional<std::size_t> givenRow() const;
    void setLook(std::size_t row, kob::FieldLook look);
    kob::ConversionSettings currentSettings() const;

    const kob::UnitTable& table_;
    kob::ConversionEngine engine_;
    const ConversionWindowData& data_;
    kob::ConversionSettings created_;  // what FormCreate read
    kobui::DrillControls* drill_ = nullptr;
    std::vector<UnitControls> rows_;
    std::vector<QColor> textColour_;  // each field's text colour, kept by the check's colours
};
