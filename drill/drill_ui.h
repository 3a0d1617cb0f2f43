// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Toolkit pieces shared by the eight drill windows: the rounded look, the
// builder of the coloured answer log, and the digit-only answer field.
#pragma once

#include <QColor>
#include <QLineEdit>
#include <QString>

#include "drill/answer_log.h"

namespace kobui {

// Clips the control to a rectangle with rounded corners (corner ellipse
// 20 x 20) and, for a text box, keeps its text 5 pixels inside the client
// rectangle. Measured from the client rectangle every time, so applying it
// again never narrows the text. The control gets the property "rounded",
// by which the skins draw a group frame's corners inside the clip.
void RoundControl(QWidget* w);
// The gap RoundControl leaves between a text box's client rectangle and its text.
inline constexpr int kRoundedTextInset = 5;

// An answer log: centred lines, vertical scroll bar.
AnswerLog* makeLog(QWidget* parent, const QString& object, const QRect& rect, const QFont& font,
                   bool readOnly, bool framed);

// The answer field of an arithmetic window: only digits ever reach it (typed,
// pasted or dropped), at most maxLen of them. Enter emits enterPressed.
class DigitLineEdit : public QLineEdit {
    Q_OBJECT
public:
    DigitLineEdit(QWidget* parent, int maxLen);

signals:
    // Enter or Return on a non-empty field.
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void insertFromOutside(const QString& text);
    void dropEvent(QDropEvent* e) override;

private:
    int maxLen_;
};

}  // namespace kobui
