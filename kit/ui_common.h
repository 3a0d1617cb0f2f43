// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Small builders shared by every window: fonts by character height in
// pixels, buttons and labels at fixed positions, a fixed text colour, and
// the centring of a window on its screen.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QMargins>
#include <QObject>
#include <QPushButton>
#include <QRect>
#include <QString>

namespace kobui {

// Arial (metric-compatible Liberation Sans) with the given pixel height.
QFont arialFont(int pixels, bool bold);

// The programs' old default font, "MS Sans Serif", mapped to Liberation Sans.
QFont sansFont(int pixels);

// Installs the font substitutions (call once after the application exists).
void installFontSubstitutions();

QPushButton* makeButton(QWidget* parent, const QString& object, const QString& caption,
                        const QRect& rect, const QFont& font);

QLabel* makeLabel(QWidget* parent, const QString& object, const QString& text, const QRect& rect,
                  const QFont& font, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);

// Sets a fixed text colour that skins do not override, and the widget's
// "ink" property: "dark" for a deep colour (no channel above half: black,
// maroon, green, navy), "bright" otherwise. The dark skins put a light card
// behind labels whose ink is dark (QLabel[ink="dark"]).
void setTextColour(QWidget* w, const QColor& c);

// Centres a top-level window on its screen by its frame, the title bar and
// borders the window manager adds. A window's frame is known only once it
// has been mapped: until then the frame last seen on any window stands in
// for it, and when the window's own frame turns out different, the window
// is centred once more as soon as it is known.
class ScreenCentring : public QObject {
public:
    explicit ScreenCentring(QWidget* window);

    // Centres the window now (call it each time the window is shown, once
    // its size is settled).
    void centre();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void place(const QMargins& frame);

    QWidget* window_;
    QMargins used_;        // the frame the last placement assumed
    bool waiting_ = false; // for the window's own frame to become known
};

}  // namespace kobui
