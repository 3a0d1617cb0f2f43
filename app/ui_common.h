// Small builders shared by every window: fonts by character height in
// pixels, buttons and labels at fixed positions.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
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

// Sets a fixed text colour that skins do not override. The dark skins put a
// light card behind dark text by matching the exact sheet this writes
// ("color: #rrggbb;"), so keep its form.
void setTextColour(QWidget* w, const QColor& c);

}  // namespace kobui
