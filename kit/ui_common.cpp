// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Small builders shared by every window (fonts, buttons, labels, the fixed
// text colour and its ink property), the font substitutions and the
// centring of windows on their screen.
#include "kit/ui_common.h"

#include <QEvent>
#include <QFontDatabase>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace kobui {

QFont arialFont(int pixels, bool bold) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QFont sansFont(int pixels) {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(pixels);
    return f;
}

void installFontSubstitutions() {
    // fontconfig would map "MS Sans Serif" to a wider face; keep the metrics.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
}

QPushButton* makeButton(QWidget* parent, const QString& object, const QString& caption,
                        const QRect& rect, const QFont& font) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(object);
    b->setGeometry(rect);
    b->setFont(font);
    b->setCursor(Qt::PointingHandCursor);
    b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    b->setAutoDefault(false);
    return b;
}

QLabel* makeLabel(QWidget* parent, const QString& object, const QString& text, const QRect& rect,
                  const QFont& font, Qt::Alignment align) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(object);
    l->setGeometry(rect);
    l->setFont(font);
    l->setAlignment(align);
    l->setTextFormat(Qt::PlainText);
    return l;
}

void setTextColour(QWidget* w, const QColor& c) {
    // The property first: setting the sheet polishes the widget again (if
    // it was polished before), and that polish sees the new ink.
    w->setProperty("ink", c.value() <= 128 ? QStringLiteral("dark") : QStringLiteral("bright"));
    w->setStyleSheet(QStringLiteral("color: %1;").arg(c.name()));
}

namespace {

// The frame of the last window whose frame was known; none before the
// first window of the run has been mapped (or without a window manager).
QMargins lastFrame;

// The frame the window manager put around `w`, null while unknown. Asked
// of the platform window: the widget's own copy is only brought up to date
// when the window moves or changes its size.
QMargins frameOf(const QWidget* w) {
    const QWindow* h = w->windowHandle();
    return h ? h->frameMargins() : QMargins();
}

}  // namespace

ScreenCentring::ScreenCentring(QWidget* window) : QObject(window), window_(window) {
    window->installEventFilter(this);
}

void ScreenCentring::centre() {
    const QMargins own = frameOf(window_);
    if (!own.isNull()) lastFrame = own;
    waiting_ = own.isNull();
    place(own.isNull() ? lastFrame : own);
}

// Puts the client area where it belongs if the frame is `frame`. The move
// goes through the client's own position, which the toolkit keeps whether
// or not it knows the frame yet.
void ScreenCentring::place(const QMargins& frame) {
    used_ = frame;
    QScreen* s = window_->screen();
    if (!s) return;
    const QRect client = window_->geometry();
    QRect outer = client.marginsAdded(frame);
    outer.moveCenter(s->availableGeometry().center());
    const QPoint clientAt = outer.topLeft() + QPoint(frame.left(), frame.top());
    // move() takes the frame's position, reckoned from the frame known now.
    window_->move(clientAt - (client.topLeft() - window_->pos()));
}

bool ScreenCentring::eventFilter(QObject* watched, QEvent* e) {
    if (waiting_ && watched == window_) {
        switch (e->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate: {
            const QMargins own = frameOf(window_);
            if (own.isNull()) break;
            waiting_ = false;
            lastFrame = own;
            if (own != used_) place(own);
            break;
        }
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, e);
}

}  // namespace kobui
