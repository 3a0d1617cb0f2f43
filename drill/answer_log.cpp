// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/answer_log.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QtMath>
#include <algorithm>

#include "kit/accessibility.h"

namespace kobui {

namespace {

// Every this many lines the log notes where a line begins in its text.
constexpr size_t kCheckpointEvery = 64;
// A line this long or longer keeps its length beside the one-byte ones.
constexpr std::uint8_t kLongLine = 255;

// Lays one log line out in rows of the given width, centred and wrapped as
// a rich-text editor wraps them; returns the number of rows.
int layoutLine(QTextLayout& layout, int width) {
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int rows = 0;
    for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
        l.setLeadingIncluded(true);  // as a rich-text document spaces its lines
        l.setLineWidth(width);
        ++rows;
    }
    layout.endLayout();
    return std::max(1, rows);
}

// Keys that change the text of a log that takes typing. Moving keys scroll
// it; Escape, Tab and the rest go on to the window.
bool editsText(QKeyEvent* e) {
    if (e->matches(QKeySequence::Paste) || e->matches(QKeySequence::Cut) || e->matches(QKeySequence::Undo) ||
        e->matches(QKeySequence::Redo))
        return true;
    switch (e->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return true;
    default:
        break;
    }
    if (e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
    const QString t = e->text();
    return !t.isEmpty() && t.at(0).isPrint();
}

}  // namespace

AnswerLog::AnswerLog(QWidget* parent, bool readOnly) : QAbstractScrollArea(parent), readOnly_(readOnly) {
    setAnswerLogText(this);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setContextMenuPolicy(Qt::NoContextMenu);  // the skin menu instead
    setFocusPolicy(readOnly ? Qt::NoFocus : Qt::StrongFocus);
    if (!readOnly) viewport()->setCursor(Qt::IBeamCursor);
    palette_ = {qRgb(0, 0x80, 0), qRgb(0xFF, 0, 0)};
}

// The height a rich-text document gives one line of this font, so that the
// log and the editor it may turn into put every line at the same place.
// Measured at first need: a hidden window's log loads no font.
int AnswerLog::lineHeight() const {
    if (lineHeight_ < 0) {
        QTextLayout layout(QStringLiteral("0"), font());
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLeadingIncluded(true);
        line.setLineWidth(1 << 20);
        layout.endLayout();
        lineHeight_ = std::max(1, qCeil(line.height()));
    }
    return lineHeight_;
}

int AnswerLog::availableWidth() const { return std::max(1, viewport()->width() - 2 * inset_); }

int AnswerLog::rowsOf(const QString& line) const {
    const QFontMetrics fm(font());
    const int width = availableWidth();
    if (fm.horizontalAdvance(line) <= width) return 1;
    QTextLayout layout(line, font());
    return layoutLine(layout, width);
}

void AnswerLog::appendLine(const QString& line, std::uint32_t rgb) {
    const QRgb colour = qRgb(int(rgb >> 16) & 0xFF, int(rgb >> 8) & 0xFF, int(rgb) & 0xFF);
    if (editor_) {
        appendToEditor(line, colour);
        return;
    }
    auto it = std::find(palette_.begin(), palette_.end(), colour);
    if (it == palette_.end() && palette_.size() < 256) it = palette_.insert(palette_.end(), colour);
    if (it == palette_.end()) --it;  // 256 colours in one log: the last one stands in

    if (laidOutWidth_ != availableWidth()) relayoutRows();
    const int rows = rowsOf(line);
    if (rows > 1 && rowEnd_.empty()) {
        // The first line that wraps: from now on the rows are counted.
        rowEnd_.resize(colour_.size());
        for (size_t i = 0; i < colour_.size(); ++i) rowEnd_[i] = std::uint32_t(i + 1);
    }
    if (!rowEnd_.empty() || rows > 1) rowEnd_.push_back(totalRows() + std::uint32_t(rows));
    const QByteArray utf8 = line.toUtf8();
    if (colour_.size() % kCheckpointEvery == 0) checkpoint_.push_back(std::uint32_t(text_.size()));
    if (utf8.size() < kLongLine) {
        length_.push_back(std::uint8_t(utf8.size()));
    } else {
        length_.push_back(kLongLine);
        long_.emplace_back(std::uint32_t(colour_.size()), std::uint32_t(utf8.size()));
    }
    text_ += utf8;
    colour_.push_back(std::uint8_t(it - palette_.begin()));
    updateScrollRange();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->update();
    setAccessibleDescription(line);  // the newest line, for a screen reader
}

void AnswerLog::appendToEditor(const QString& line, QRgb colour) {
    QTextDocument* doc = editor_->document();
    QTextCursor c(doc);
    c.movePosition(QTextCursor::End);
    QTextCharFormat fmt;
    fmt.setForeground(QColor(colour));
    fmt.setFont(font());
    QTextBlockFormat block;
    block.setAlignment(Qt::AlignHCenter);
    if (editorHoldsNoLine_ && doc->isEmpty()) {
        // The first line takes the document's one block; an empty line
        // there is a line all the same, so the next one goes below it.
        c.setBlockFormat(block);
        c.setBlockCharFormat(fmt);
    } else {
        c.insertBlock(block, fmt);
    }
    editorHoldsNoLine_ = false;
    c.insertText(line, fmt);
    if (QScrollBar* sb = editor_->verticalScrollBar()) sb->setValue(sb->maximum());
    setAccessibleDescription(line);
}

void AnswerLog::dropStoredLines() {
    text_ = QByteArray();
    length_ = {};
    checkpoint_ = {};
    long_ = {};
    rowEnd_ = {};
    colour_ = {};
}

void AnswerLog::clear() {
    if (editor_) {
        setFocusProxy(nullptr);
        const bool hadFocus = editor_->hasFocus();
        delete editor_;
        editor_ = nullptr;
        if (hadFocus) setFocus();
    }
    dropStoredLines();
    updateScrollRange();
    viewport()->update();
    setAccessibleDescription(QString());
}

QString AnswerLog::storedLine(size_t i) const {
    return QString::fromUtf8(text_.constData() + beginOf(i), qsizetype(lengthOf(i)));
}

std::uint32_t AnswerLog::lengthOf(size_t i) const {
    if (length_[i] < kLongLine) return length_[i];
    const auto it = std::lower_bound(long_.begin(), long_.end(), std::make_pair(std::uint32_t(i), std::uint32_t(0)));
    return it->second;
}

std::uint32_t AnswerLog::beginOf(size_t i) const {
    std::uint32_t begin = checkpoint_[i / kCheckpointEvery];
    for (size_t k = i - i % kCheckpointEvery; k < i; ++k) begin += lengthOf(k);
    return begin;
}

std::uint32_t AnswerLog::rowEndAt(size_t i) const { return rowEnd_.empty() ? std::uint32_t(i + 1) : rowEnd_[i]; }

std::uint32_t AnswerLog::totalRows() const { return colour_.empty() ? 0 : rowEndAt(colour_.size() - 1); }

int AnswerLog::lineCount() const {
    if (!editor_) return int(colour_.size());
    const QTextDocument* doc = editor_->document();
    return editorHoldsNoLine_ && doc->isEmpty() ? 0 : doc->blockCount();
}

QString AnswerLog::line(int i) const {
    if (i < 0 || i >= lineCount()) return {};
    if (editor_) return editor_->document()->findBlockByNumber(i).text();
    return storedLine(size_t(i));
}

QColor AnswerLog::lineColour(int i) const {
    if (i < 0 || i >= lineCount()) return {};
    if (editor_) {
        const QTextBlock b = editor_->document()->findBlockByNumber(i);
        const QTextCharFormat f = b.begin().atEnd() ? b.charFormat() : b.begin().fragment().charFormat();
        return f.foreground().color();
    }
    return QColor(palette_[colour_[size_t(i)]]);
}

QString AnswerLog::lastLine() const { return line(lineCount() - 1); }

QString AnswerLog::toPlainText() const {
    if (editor_) return editor_->toPlainText();
    QByteArray out;
    out.reserve(text_.size() + qsizetype(colour_.size()));
    std::uint32_t begin = 0;
    for (size_t i = 0; i < colour_.size(); ++i) {
        if (i) out += '\n';
        const std::uint32_t length = lengthOf(i);
        out += QByteArrayView(text_).sliced(qsizetype(begin), qsizetype(length));
        begin += length;
    }
    return QString::fromUtf8(out);
}

void AnswerLog::setInset(int px) {
    if (editor_) editor_->document()->setDocumentMargin(px);
    if (px == inset_) return;
    inset_ = px;
    if (!colour_.empty()) relayoutRows();
    else laidOutWidth_ = -1;
    viewport()->update();
}

QTextEdit* AnswerLog::beginEditing() {
    if (readOnly_) return nullptr;
    if (editor_) return editor_;
    const int scrolled = verticalScrollBar()->value();
    editor_ = new QTextEdit(this);
    editor_->setObjectName(objectName() + QStringLiteral("Editor"));
    editor_->setFont(font());
    editor_->setFrameShape(frameShape());
    editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor_->setAcceptRichText(false);
    editor_->setContextMenuPolicy(Qt::NoContextMenu);  // the skin menu instead
    editor_->setAlignment(Qt::AlignHCenter);
    editor_->document()->setDocumentMargin(inset_);
    editor_->document()->setUndoRedoEnabled(false);  // the program's lines are not the pupil's to undo
    editor_->setAccessibleName(accessibleName());
    editor_->setGeometry(rect());

    // The lines move over; the compact copy goes.
    editorHoldsNoLine_ = true;
    for (size_t i = 0; i < colour_.size(); ++i) appendToEditor(storedLine(i), palette_[colour_[i]]);
    editor_->document()->setUndoRedoEnabled(true);
    dropStoredLines();

    editor_->moveCursor(QTextCursor::End);
    editor_->verticalScrollBar()->setValue(scrolled);
    setFocusProxy(editor_);
    editor_->show();
    if (hasFocus() || isActiveWindow()) editor_->setFocus();
    return editor_;
}

void AnswerLog::relayoutRows() {
    laidOutWidth_ = availableWidth();
    std::vector<std::uint32_t> rowEnd(colour_.size());
    std::uint32_t rows = 0;
    bool wrapped = false;
    for (size_t i = 0; i < colour_.size(); ++i) {
        const int r = rowsOf(storedLine(i));
        wrapped = wrapped || r > 1;
        rows += std::uint32_t(r);
        rowEnd[i] = rows;
    }
    if (wrapped) rowEnd_ = std::move(rowEnd);
    else rowEnd_ = {};
    updateScrollRange();
}

void AnswerLog::updateScrollRange() {
    const int rows = int(totalRows());
    const qint64 content = (rows ? qint64(rows) * lineHeight() : 0) + 2 * inset_;
    const int viewH = viewport()->height();
    QScrollBar* sb = verticalScrollBar();
    sb->setRange(0, int(std::clamp<qint64>(content - viewH, 0, INT_MAX / 2)));
    sb->setPageStep(std::max(1, viewH));
    if (rows) sb->setSingleStep(lineHeight());
}

void AnswerLog::paintEvent(QPaintEvent*) {
    if (editor_ || colour_.empty()) return;
    QPainter p(viewport());
    p.setFont(font());
    const int lh = lineHeight();
    const int width = availableWidth();
    const int top = verticalScrollBar()->value();
    const int viewH = viewport()->height();
    // The first line with a row at or below the top edge.
    const std::uint32_t firstRow = std::uint32_t(std::max(0, (top - inset_) / lh));
    size_t i = rowEnd_.empty()
                   ? size_t(firstRow)
                   : size_t(std::upper_bound(rowEnd_.begin(), rowEnd_.end(), firstRow) - rowEnd_.begin());
    for (; i < colour_.size(); ++i) {
        const std::uint32_t rowStart = i == 0 ? 0 : rowEndAt(i - 1);
        const int y = inset_ + int(rowStart) * lh - top;
        if (y >= viewH) break;
        QTextLayout layout(storedLine(i), font());
        layoutLine(layout, width);
        for (int r = 0; r < layout.lineCount(); ++r) layout.lineAt(r).setPosition(QPointF(0, r * lh));
        p.setPen(QColor(palette_[colour_[i]]));
        layout.draw(&p, QPointF(inset_, y));
    }
}

void AnswerLog::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    if (editor_) editor_->setGeometry(rect());
    if (!colour_.empty() && laidOutWidth_ != availableWidth()) relayoutRows();
    else updateScrollRange();
}

void AnswerLog::changeEvent(QEvent* e) {
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        if (editor_) editor_->setFont(font());
        lineHeight_ = -1;
        if (!colour_.empty()) relayoutRows();
        else laidOutWidth_ = -1;
    }
}

void AnswerLog::keyPressEvent(QKeyEvent* e) {
    if (!readOnly_ && editsText(e)) {
        QTextEdit* ed = beginEditing();
        ed->setFocus();
        QCoreApplication::sendEvent(ed, e);
        return;
    }
    QAbstractScrollArea::keyPressEvent(e);
}

void AnswerLog::mousePressEvent(QMouseEvent* e) {
    if (readOnly_ || e->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(e);
        return;
    }
    QTextEdit* ed = beginEditing();
    ed->setFocus(Qt::MouseFocusReason);
    ed->setTextCursor(ed->cursorForPosition(e->position().toPoint()));
}

void AnswerLog::scrollContentsBy(int, int) { viewport()->update(); }

}  // namespace kobui
