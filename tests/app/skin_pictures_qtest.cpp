// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The embedded pictures: the nine counting-aid icons, the help window's
// portrait and the glyphs the skins draw with.
#include <QIcon>
#include <QImageReader>
#include <QSet>
#include <QtTest>

#include "app/skin_manager.h"

namespace {

const char* const kIcons[] = {"ALMA", "BANAN", "HAMBURGER", "JEEP", "KOCSI",
                              "MEDVE", "PARADICSOM", "SZOLO", "VONAT"};

QImage readIcon(const QString& name) {
    QImageReader r(QStringLiteral(":/icons/%1").arg(name), "ico");
    return r.read().convertToFormat(QImage::Format_ARGB32);
}

// The smallest rectangle holding every pixel that is at least half opaque.
QRect opaqueBounds(const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) >= 128) box |= QRect(x, y, 1, 1);
    return box;
}

bool isGreen(QRgb c) { return qAlpha(c) > 200 && qGreen(c) > qRed(c) + 40 && qGreen(c) > qBlue(c) + 40; }
bool isRedBody(QRgb c) { return qAlpha(c) > 200 && qRed(c) > 200 && qGreen(c) < 120 && qBlue(c) < 100; }

// Average green share of the red body pixels: higher means more orange.
double orangeness(const QImage& img) {
    double sum = 0;
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (isRedBody(c)) {
                sum += double(qGreen(c)) / qRed(c);
                ++n;
            }
        }
    return n ? sum / n : 0;
}

int greenIn(const QImage& img, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (isGreen(img.pixel(x, y))) ++n;
    return n;
}

}  // namespace

class SkinPicturesTest : public QObject {
    Q_OBJECT
private slots:
    void iconsAreSingle32PixelPicturesOnTransparentGround();
    void iconsLoadThroughQIconAndAreAllDifferent();
    void appleAndTomatoCanBeToldApart();
    void portraitIsAPortraitFormatJpeg();
    void everySkinGlyphTheSheetsNameExists();
};

void SkinPicturesTest::iconsAreSingle32PixelPicturesOnTransparentGround() {
    for (const char* name : kIcons) {
        QImageReader r(QStringLiteral(":/icons/%1").arg(QLatin1String(name)), "ico");
        QVERIFY2(r.canRead(), name);
        QCOMPARE(r.imageCount(), 1);
        const QImage img = r.read().convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!img.isNull(), qPrintable(r.errorString()));
        QCOMPARE(img.size(), QSize(32, 32));
        QVERIFY(img.hasAlphaChannel());
        for (QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)})
            QVERIFY2(qAlpha(img.pixel(corner)) == 0, name);
        int opaque = 0, outline = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb c = img.pixel(x, y);
                if (qAlpha(c) > 200) {
                    ++opaque;
                    if (qGray(c) < 60) ++outline;
                }
            }
        // A picture that fills its box, drawn with a bold dark outline.
        QVERIFY2(opaque > 32 * 32 / 5, name);
        QVERIFY2(outline > 40, name);
    }
}

void SkinPicturesTest::iconsLoadThroughQIconAndAreAllDifferent() {
    QSet<QByteArray> seen;
    for (const char* name : kIcons) {
        const QIcon icon(QStringLiteral(":/icons/%1").arg(QLatin1String(name)));
        QVERIFY2(!icon.isNull(), name);
        const QImage img = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(img.size(), QSize(32, 32));
        seen.insert(QByteArray(reinterpret_cast<const char*>(img.constBits()), int(img.sizeInBytes())));
    }
    QCOMPARE(seen.size(), 9);
}

void SkinPicturesTest::appleAndTomatoCanBeToldApart() {
    const QImage apple = readIcon(QStringLiteral("ALMA"));
    const QImage tomato = readIcon(QStringLiteral("PARADICSOM"));
    // The apple stands taller than wide, the tomato is flatter.
    const QRect a = opaqueBounds(apple), t = opaqueBounds(tomato);
    QVERIFY2(a.height() > a.width(), qPrintable(QStringLiteral("%1x%2").arg(a.width()).arg(a.height())));
    QVERIFY2(t.width() > t.height(), qPrintable(QStringLiteral("%1x%2").arg(t.width()).arg(t.height())));
    // The tomato's red leans to orange.
    QVERIFY(orangeness(tomato) > orangeness(apple) + 0.08);
    // The tomato wears its green star in the middle of the top; the apple's
    // leaf sits off to the side.
    const QRect topMiddle(12, 4, 8, 8);
    QVERIFY(greenIn(tomato, topMiddle) > 10);
    QVERIFY(greenIn(apple, topMiddle) < greenIn(tomato, topMiddle) / 3);
}

void SkinPicturesTest::portraitIsAPortraitFormatJpeg() {
    QImageReader r(QStringLiteral(":/pictures/portrait.jpg"));
    QCOMPARE(r.format(), QByteArray("jpeg"));
    const QImage img = r.read();
    QVERIFY2(!img.isNull(), qPrintable(r.errorString()));
    QVERIFY(img.height() > img.width());
    QVERIFY(qAbs(img.width() - 129) <= 10 && qAbs(img.height() - 169) <= 10);
    // A real picture, not a plain fill: many different colours.
    QSet<QRgb> colours;
    for (int y = 0; y < img.height(); y += 3)
        for (int x = 0; x < img.width(); x += 3) colours.insert(img.pixel(x, y) & 0xf0f0f0);
    QVERIFY(colours.size() > 40);
}

void SkinPicturesTest::everySkinGlyphTheSheetsNameExists() {
    static const QRegularExpression url(QStringLiteral("url\\((:/[^)]+)\\)"));
    int checked = 0;
    for (const QString& n : SkinManager::builtInNames()) {
        const QString qss = SkinManager::styleSheet(n);
        auto it = url.globalMatch(qss);
        while (it.hasNext()) {
            const QString path = it.next().captured(1);
            QVERIFY2(!QImage(path).isNull(), qPrintable(n + QLatin1String(": ") + path));
            ++checked;
        }
    }
    QVERIFY(checked > 30);
}

QTEST_MAIN(SkinPicturesTest)
#include "skin_pictures_qtest.moc"
