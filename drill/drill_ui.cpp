// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/drill_ui.h"

#include <QBitmap>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QScrollBar>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>

#include "drill/drill_state.h"

namespace kobui {

void RoundControl(QWidget* w) {
    const QRect r = w->rect();
    QPainterPath path;
    path.addRoundedRect(QRectF(r), 10.0, 10.0);  // a 20 x 20 corner ellipse
    w->setMask(QRegion(path.toFillPolygon().toPolygon()));
    // Told by the property, the skins turn a group frame's corners a little
    // inside the clip's, so that the clip never cuts the frame's line.
    if (!w->property("rounded").toBool()) {
        w->setProperty("rounded", true);
        w->style()->unpolish(w);
        w->style()->polish(w);
    }
    // The inset is fixed, whatever it was before.
    if (auto* log = qobject_cast<AnswerLog*>(w)) log->setInset(kRoundedTextInset);
    else if (auto* te = qobject_cast<QTextEdit*>(w)) te->document()->setDocumentMargin(kRoundedTextInset);
    w->update();
}

AnswerLog* makeLog(QWidget* parent, const QString& object, const QRect& rect, const QFont& font,
                   bool readOnly, bool framed) {
    auto* t = new AnswerLog(parent, readOnly);
    t->setObjectName(object);
    t->setGeometry(rect);
    t->setFont(font);
    t->setFrameShape(framed ? QFrame::StyledPanel : QFrame::NoFrame);
    return t;
}

DigitLineEdit::DigitLineEdit(QWidget* parent, int maxLen) : QLineEdit(parent), maxLen_(maxLen) {
    setMaxLength(maxLen);
    setContextMenuPolicy(Qt::NoContextMenu);  // right click opens the skin menu
    setAcceptDrops(true);
    // Anything that reaches the text by another road is cleaned to digits.
    connect(this, &QLineEdit::textChanged, this, [this](const QString& t) {
        const std::string clean = kob::answerDigits(t.toStdString(), size_t(maxLen_));
        const QString q = QString::fromStdString(clean);
        if (q != t) {
            const int pos = std::min<int>(cursorPosition(), int(q.size()));
            QSignalBlocker b(this);
            setText(q);
            setCursorPosition(pos);
        }
    });
}

void DigitLineEdit::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        if (!text().isEmpty()) emit enterPressed();
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        insertFromOutside(QGuiApplication::clipboard()->text());
        e->accept();
        return;
    }
    const QString t = e->text();
    if (!t.isEmpty() && t.at(0).isPrint()) {
        // A printable key passes only when it is a digit.
        const char32_t ch = t.toUcs4().value(0);
        if (!kob::answerKeyPasses(ch)) {
            e->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(e);
}

void DigitLineEdit::insertFromOutside(const QString& text) {
    const std::string digits = kob::answerDigits(text.toStdString(), size_t(maxLen_));
    if (!digits.empty()) insert(QString::fromStdString(digits));
}

void DigitLineEdit::dropEvent(QDropEvent* e) {
    if (e->mimeData() && e->mimeData()->hasText()) insertFromOutside(e->mimeData()->text());
    e->acceptProposedAction();
}

}  // namespace kobui
