// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The picture counting aid of the addition and subtraction windows: two
// groups of ten 33 x 33 picture boxes in the bottom strip, one picture per
// unit of each operand, the big sign between them, and the menu that swaps
// the picture of all twenty boxes.
#pragma once

#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>
#include <vector>

#include "arith/arith_data.h"

class QLabel;
class QMenu;
class QWidget;

namespace kobui {

class PictureAid : public QObject {
    Q_OBJECT
public:
    PictureAid(QWidget* window, const QPoint (&leftBoxesAt)[10], const QPoint (&rightBoxesAt)[10],
               const QRect& signRect, const QString& sign, const std::vector<kob::PictureItem>& menu);

    QLabel* kep[10];
    QLabel* Image[10];
    QLabel* sLabelFX1;
    QMenu* KivonPopup;

    // Every box hidden (each question starts so).
    void hideAll();
    // The first `left` boxes of the left group and the first `right` of the
    // right group shown; 0 shows none of its group.
    void showCounts(int left, int right);

    // Loads the named picture into all twenty boxes, visible or not.
    void KepValtasClick(const QString& name);
    // The resource name of the picture the boxes hold ("VONAT").
    QString picture() const { return picture_; }

    // An embedded counting picture by name, without regard to case.
    static QPixmap loadPicture(const QString& name);

private:
    QString picture_;
};

}  // namespace kobui
