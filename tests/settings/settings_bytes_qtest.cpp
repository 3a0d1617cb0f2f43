// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program and its settings file, end to end in process: a skin name
// that is not UTF-8 goes back byte for byte, and an installed copy reads an
// administrator's preset and saves into the pupil's own file.
#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <sstream>

#include "app/main_window.h"
#include "app/skin_manager.h"
#include "support/testkit.h"

using testkit::Harness;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void spit(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

}  // namespace

class SettingsBytesTest : public QObject {
    Q_OBJECT
private slots:
    void skinNameThatIsNotUtf8GoesBackByteForByte();
    void installedCopyReadsThePresetAndSavesPerUser();
};

void SettingsBytesTest::skinNameThatIsNotUtf8GoesBackByteForByte() {
    // Latin-1 accents, a cut sequence, a stray byte, and a line of its own
    // in old carriage-return line ends.
    const std::string names[] = {"S\xF6t\xE9t (saj\xE1t)", "cut \xC3", "\xFF\xFE mixed \xC3\xA1 valid"};
    for (const std::string& name : names) {
        const std::string text = "; notes\r[Skin]\rSkinName=" + name + "\r[Other]\rx=1\r";
        Harness h(text);
        h.start();
        SkinManager* s = h.app->Form1->SkinMen();
        QCOMPARE(s->drawnLook(), SkinManager::defaultName());
        h.app->Form1->show();
        h.app->Form1->close();
        h.finishSaves();
        QCOMPARE(h.errors, QStringList());
        QVERIFY2(h.readIni() == text, h.readIni().c_str());
    }
}

void SettingsBytesTest::installedCopyReadsThePresetAndSavesPerUser() {
    if (QSysInfo::productType() == QLatin1String("windows"))
        QSKIP("the XDG layout of an installed copy; Windows' own is in settings_file_wintest");
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    QVERIFY(QDir().mkpath(dir.filePath("usr/bin")) && QDir().mkpath(dir.filePath("usr/share/kobaltfa")) &&
            QDir().mkpath(dir.filePath("etc/xdg/kobaltfa")) && QDir().mkpath(dir.filePath("home/pupil")));
    spit(root + "/usr/share/kobaltfa/installed", "");
    spit(root + "/etc/xdg/kobaltfa/kobaltfa.ini", "; school preset\n[Skin]\nSkinName=WEB (internal)\n");
    testkit::RecordingPlayer player;
    QStringList errors;
    KobaltDeps deps;
    deps.settingsLocation =
        kob::settingsLocation(root + "/usr/bin/kobaltfa", {root + "/home/pupil", "", root + "/etc/xdg"});
    QVERIFY(deps.settingsLocation.installed);
    deps.player = &player;
    deps.reportError = [&](const QString& m) { errors << m; };
    deps.confirmExit = [](QWidget*) { return true; };
    KobaltfaApp app(std::move(deps));
    QCOMPARE(app.Form1->SkinMen()->skinName(), QStringLiteral("WEB (internal)"));
    app.Form1->show();
    app.Form1->PopupMenu1()->findChild<QAction*>(QStringLiteral("SmokySkin1"))->trigger();
    app.Form1->close();
    app.shell()->finishSaves();
    QCOMPARE(errors, QStringList());
    QCOMPARE(QString::fromStdString(slurp(root + "/home/pupil/.config/kobaltfa/kobaltfa.ini")),
             QStringLiteral("; school preset\n[Skin]\nSkinName=Smoky (internal)\n"));
    QCOMPARE(QString::fromStdString(slurp(root + "/etc/xdg/kobaltfa/kobaltfa.ini")),
             QStringLiteral("; school preset\n[Skin]\nSkinName=WEB (internal)\n"));
    QVERIFY(!QFile::exists(dir.filePath("usr/bin/kobaltfa.ini")));
}

QTEST_MAIN(SettingsBytesTest)
#include "settings_bytes_qtest.moc"
