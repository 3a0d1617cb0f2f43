// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program and the files that put it on a desktop name one another
// alike: the application id the windows carry (on Wayland the desktop finds
// the menu entry and its icon by it), the desktop entry, the AppStream
// metainfo and the icon theme's pictures.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QtTest>

#include "app/kobaltfa_app.h"
#include "support/testkit.h"

using testkit::Harness;

namespace {

QString sourceFile(const QString& rel) { return QStringLiteral(KOBALTFA_SOURCE_DIR "/") + rel; }

QString readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

}  // namespace

class DesktopEntryTest : public QObject {
    Q_OBJECT
private slots:
    void windowsCarryTheDesktopEntrysName();
    void entryMetainfoAndIconsAgree();
    void iconHasEverySizeAtItsSize();
};

void DesktopEntryTest::windowsCarryTheDesktopEntrysName() {
    Harness h;
    h.start();
    const QString id = QString::fromLatin1(kDesktopFileName);
    QCOMPARE(QGuiApplication::desktopFileName(), id);
    QVERIFY2(QFile::exists(sourceFile(QStringLiteral("desktop/%1.desktop").arg(id))),
             "no desktop entry named after the application id");
}

void DesktopEntryTest::entryMetainfoAndIconsAgree() {
    const QString id = QString::fromLatin1(kDesktopFileName);
    const QString entry = readAll(sourceFile(QStringLiteral("desktop/%1.desktop").arg(id)));
    QVERIFY(!entry.isEmpty());
    const QStringList lines = entry.split('\n');
    QVERIFY(lines.contains(QStringLiteral("Icon=") + id));
    // The executable the package installs, and the X11 class its windows carry.
    QVERIFY(lines.contains(QStringLiteral("Exec=kobaltfa")));
    QVERIFY(lines.contains(QStringLiteral("StartupWMClass=kobaltfa")));
    // Hungarian first for the pupils, English as the fallback.
    QVERIFY(lines.contains(QStringLiteral("Comment[hu]=Összeadás, kivonás, szorzás, osztás és "
                                          "mértékegységek váltása kisiskolásoknak")));
    QVERIFY(entry.contains(QRegularExpression(QStringLiteral("^Comment=\\S"), QRegularExpression::MultilineOption)));
    QVERIFY(lines.contains(QStringLiteral("Categories=Education;Math;")));

    const QString meta = readAll(sourceFile(QStringLiteral("desktop/%1.metainfo.xml").arg(id)));
    QVERIFY(meta.contains(QStringLiteral("<id>%1</id>").arg(id)));
    QVERIFY(meta.contains(QStringLiteral("<launchable type=\"desktop-id\">%1.desktop</launchable>").arg(id)));
    QVERIFY(meta.contains(QStringLiteral("<summary xml:lang=\"hu\">")));
    // The program's licence; the metadata's own is a permissive one, as
    // AppStream asks.
    QVERIFY(meta.contains(QStringLiteral("<project_license>GPL-3.0-or-later</project_license>")));
    QVERIFY(meta.contains(QStringLiteral("<metadata_license>CC0-1.0</metadata_license>")));
    // The program has no web site: the metainfo names no web address, no
    // home page and no screenshot to fetch.
    QVERIFY2(!meta.contains(QStringLiteral("http")), qPrintable(meta));
    QVERIFY(!meta.contains(QStringLiteral("<url")));
    QVERIFY(!meta.contains(QStringLiteral("<screenshot")));
}

void DesktopEntryTest::iconHasEverySizeAtItsSize() {
    const QString id = QString::fromLatin1(kDesktopFileName);
    for (int n : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString path = sourceFile(QStringLiteral("desktop/icons/hicolor/%1x%1/apps/%2.png").arg(n).arg(id));
        QImage img(path);
        QVERIFY2(!img.isNull(), qPrintable(path));
        QCOMPARE(img.size(), QSize(n, n));
        QVERIFY(img.hasAlphaChannel());
        // Transparent corners, an opaque tree in the middle.
        QCOMPARE(qAlpha(img.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(img.pixel(n / 2, n / 3)), 255);
    }
    const QString svg = readAll(sourceFile(QStringLiteral("desktop/icons/hicolor/scalable/apps/%1.svg").arg(id)));
    QVERIFY(svg.contains(QStringLiteral("<svg")));
}

QTEST_MAIN(DesktopEntryTest)
#include "desktop_entry_qtest.moc"
