// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The answer log of a drill window: one centred line per answered question,
// each in its own colour, newest at the bottom, with a vertical scroll bar.
//
// A pupil may answer tens of thousands of questions in one sitting, so the
// lines are kept as compactly as text can be: one UTF-8 string holding all
// of them, a length byte and a colour byte per line, where every 64th line
// begins (and a row count per line once a line too long for the width
// wraps). Only the lines in view are ever
// laid out, at paint time.
//
// A log that takes typing (the conversion windows' log) turns into an
// ordinary rich-text editor holding the same lines the first time the pupil
// types into it or clicks in it, and stays one until it is emptied.
#pragma once

#include <QAbstractScrollArea>
#include <QByteArray>
#include <QColor>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

class QTextEdit;

namespace kobui {

class AnswerLog : public QAbstractScrollArea {
    Q_OBJECT
    // Exposed for the skins, which give a log the pupil may type into a rim.
    Q_PROPERTY(bool readOnly READ isReadOnly CONSTANT)
    // What assistive technologies read.
    Q_PROPERTY(QString plainText READ toPlainText)

public:
    AnswerLog(QWidget* parent, bool readOnly);

    // Appends one line at the end in the given colour (0xRRGGBB) and
    // scrolls to it.
    void appendLine(const QString& line, std::uint32_t rgb);
    // Empties the log.
    void clear();

    int lineCount() const;
    QString line(int i) const;
    QColor lineColour(int i) const;  // the colour of the line's text
    QString lastLine() const;
    QString toPlainText() const;  // the lines joined by '\n'

    bool isReadOnly() const { return readOnly_; }

    // The gap between the client rectangle and the text, on every side.
    void setInset(int px);

    // The editor the log has turned into, or null while it is still the
    // plain list of lines.
    QTextEdit* editor() const { return editor_; }

    // Turns a log that takes typing into its editor (see above); the caret
    // goes to the end. Returns null for a read-only log.
    QTextEdit* beginEditing();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int lineHeight() const;
    int availableWidth() const;
    int rowsOf(const QString& line) const;
    void relayoutRows();
    void updateScrollRange();
    void appendToEditor(const QString& line, QRgb rgb);
    QString storedLine(size_t i) const;
    void dropStoredLines();  // the compact lines, memory and all
    std::uint32_t lengthOf(size_t i) const;
    std::uint32_t beginOf(size_t i) const;
    std::uint32_t rowEndAt(size_t i) const;
    std::uint32_t totalRows() const;

    bool readOnly_;
    int inset_ = 4;  // a text box's usual margin until the window rounds it
    QByteArray text_;  // every line in UTF-8, back to back
    // Each line's length in bytes; a line of 255 bytes or more has 255 here
    // and its length in long_ (line, length), in line order.
    std::vector<std::uint8_t> length_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> long_;
    std::vector<std::uint32_t> checkpoint_;  // where every 64th line begins in text_
    // Visual rows up to and including each line; empty while no line wraps
    // (then line i ends at row i + 1).
    std::vector<std::uint32_t> rowEnd_;
    std::vector<std::uint8_t> colour_;  // index into palette_
    std::vector<QRgb> palette_;
    int laidOutWidth_ = -1;  // the width rowEnd_ was counted for
    mutable int lineHeight_ = -1;
    QTextEdit* editor_ = nullptr;
    // The editor's document is one empty block that is no line yet: the log
    // had no line when it turned into the editor and none came since.
    bool editorHoldsNoLine_ = false;
};

}  // namespace kobui
