// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What screen readers and other assistive technologies see of the windows
// beyond the toolkit's defaults: the windows are presented as a frame (the
// main window) and dialogs, and labels that show a changing value (an
// operand, a counter, the time limit) carry a name that says what they
// show, with the value itself readable through their text.
#pragma once

#include <QString>
#include <QStringList>

class QLabel;
class QPushButton;
class QWidget;

namespace kobui {

// Registers the accessibility factory; every window calls it before it
// builds its controls (only the first call does anything).
void installAccessibility();

// Presents a top-level window as the program's frame or, with `dialog`,
// as one of its dialogs.
void setWindowRole(QWidget* window, bool dialog);

// Names a label that shows a changing value. Assistive technologies read
// `name` as the label's name and the shown value through its text.
void setValueLabel(QLabel* label, const QString& name);

// Gives a push button the keys that press it, as assistive technologies
// announce them (its press action's key bindings), for a button whose keys
// are more than its Alt accelerator.
void setButtonKeys(QPushButton* button, const QStringList& keys);

// Marks an answer log: assistive technologies read its lines (its
// `plainText` property) as read-only text.
void setAnswerLogText(QWidget* log);

}  // namespace kobui
