// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "arith/picture_aid.h"

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QWidget>
#include <algorithm>

#include "kit/ui_common.h"

namespace kobui {

namespace {
const char* const kHint = "Jobb egérgomb > képcsere";
constexpr int kBox = 33;
}  // namespace

QPixmap PictureAid::loadPicture(const QString& name) {
    QFile f(QStringLiteral(":/icons/%1").arg(name.toUpper()));
    if (!f.open(QIODevice::ReadOnly)) return {};
    QByteArray bytes = f.readAll();
    f.close();  // the stream is released before the picture is used
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QImage image = reader.read();
    if (image.isNull()) {
        buffer.seek(0);
        QImageReader any(&buffer);  // whatever format the bytes turn out to be
        image = any.read();
    }
    return QPixmap::fromImage(image);
}

PictureAid::PictureAid(QWidget* w, const QPoint (&leftBoxesAt)[10], const QPoint (&rightBoxesAt)[10],
                       const QRect& signRect, const QString& sign, const std::vector<kob::PictureItem>& menu)
    : QObject(w) {
    KivonPopup = new QMenu(w);
    KivonPopup->setObjectName(QStringLiteral("KivonPopup"));
    for (const kob::PictureItem& item : menu) {
        auto* a = new QAction(QString::fromUtf8(item.caption), KivonPopup);
        a->setObjectName(QString::fromLatin1(item.object));
        const QString resource = QString::fromLatin1(item.resource);
        connect(a, &QAction::triggered, this, [this, resource] { KepValtasClick(resource); });
        KivonPopup->addAction(a);
    }

    auto withMenu = [this](QWidget* box) {
        box->setToolTip(QString::fromUtf8(kHint));
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this,
                [this, box](const QPoint& pos) { KivonPopup->popup(box->mapToGlobal(pos)); });
    };
    auto makeBox = [&](const QString& object, const QPoint& at, const QString& accessible) {
        auto* l = new QLabel(w);
        l->setObjectName(object);
        l->setGeometry(QRect(at, QSize(kBox, kBox)));
        l->setAlignment(Qt::AlignCenter);
        l->setAutoFillBackground(false);
        l->setAccessibleName(accessible);
        l->hide();
        withMenu(l);
        return l;
    };
    for (int i = 0; i < 10; ++i) {
        kep[i] = makeBox(QStringLiteral("kep%1").arg(i + 1), leftBoxesAt[i],
                         QStringLiteral("első szám képe %1").arg(i + 1));
        Image[i] = makeBox(QStringLiteral("Image%1").arg(i + 1), rightBoxesAt[i],
                           QStringLiteral("második szám képe %1").arg(i + 1));
    }

    sLabelFX1 = makeLabel(w, QStringLiteral("sLabelFX1"), sign, signRect, arialFont(96, false), Qt::AlignCenter);
    sLabelFX1->setAccessibleName(QStringLiteral("képek közötti jel"));
    withMenu(sLabelFX1);

    KepValtasClick(QString::fromLatin1(kob::kFirstPicture));
}

void PictureAid::hideAll() {
    for (QLabel* l : kep) l->hide();
    for (QLabel* l : Image) l->hide();
}

void PictureAid::showCounts(int left, int right) {
    left = std::clamp(left, 0, 10);
    right = std::clamp(right, 0, 10);
    for (int i = 0; i < 10; ++i) {
        kep[i]->setVisible(i < left);
        Image[i]->setVisible(i < right);
    }
}

void PictureAid::KepValtasClick(const QString& name) {
    const QPixmap pm = loadPicture(name);
    picture_ = name.toUpper();
    for (QLabel* l : kep) l->setPixmap(pm);
    for (QLabel* l : Image) l->setPixmap(pm);
}

}  // namespace kobui
