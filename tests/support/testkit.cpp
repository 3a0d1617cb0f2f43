// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/testkit.h"
#include "settings/file_platform.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace testkit {

std::shared_ptr<bool> onDialog(std::function<void(QDialog*)> act) {
    auto fellBack = std::make_shared<bool>(false);
    QTimer::singleShot(0, [act, fellBack] {
        QDialog* d = nullptr;
        for (int i = 0; i < 500 && !d; ++i) {
            d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d) QTest::qWait(10);
        }
        if (!d) return;
        QVERIFY(QTest::qWaitForWindowActive(d));
        act(d);
        QTimer::singleShot(2000, d, [d, fellBack] {
            if (!d->isVisible()) return;
            *fellBack = true;
            d->done(QDialog::Rejected);
        });
    });
    return fellBack;
}

void RecordingPlayer::play(std::string_view name, const std::uint8_t*, std::size_t size) {
    cues << QString::fromUtf8(name.data(), int(name.size()));
    sizes.push_back(size);
}

int ScriptedRandom::uniform(int n) {
    if (n <= 0) return 0;
    if (script_->empty())
        qFatal("ScriptedRandom: the script ran out at a draw below %d (this window had drawn %d values): the "
               "test gives too few values, or a generator draws more than it should",
               n, draws);
    ++draws;
    const int v = script_->front();
    script_->pop_front();
    return ((v % n) + n) % n;
}

FakeShell::FakeShell()
    : settings_(std::make_unique<kob::SettingsFile>(kob::SettingsLocation::portable(iniPath()))),
      menu_(std::make_unique<QMenu>()) {}

FakeShell::~FakeShell() = default;

std::string FakeShell::iniPath() const { return dir.filePath(QStringLiteral("kobaltfa.ini")).toStdString(); }

std::unique_ptr<kob::RandomSource> FakeShell::makeRandom() { return std::make_unique<ScriptedRandom>(script); }

void FakeShell::reportWriteResult(const kob::WriteResult& r) {
    if (!r.ok) errors << QString::fromStdString(r.message);
}

Harness::Harness(const std::string& iniText, bool writeIniFile) {
    if (writeIniFile || !iniText.empty()) writeIni(iniText);
}

Harness::~Harness() { app.reset(); }

std::string Harness::iniPath() const { return dir.filePath(QStringLiteral("kobaltfa.ini")).toStdString(); }

std::string newFileText(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += kob::fileplatform::kNewFileLineEnding;
        else out.push_back(c);
    }
    return out;
}

void Harness::finishSaves() const {
    if (app) app->shell()->finishSaves();
}

std::string Harness::readIni() const {
    finishSaves();
    QFile f(QString::fromStdString(iniPath()));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().toStdString();
}

void Harness::writeIni(const std::string& text) const {
    QFile f(QString::fromStdString(iniPath()));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(text.data(), qint64(text.size()));
}

void Harness::start() {
    KobaltDeps deps;
    deps.settingsLocation = kob::SettingsLocation::portable(iniPath());
    deps.player = &player;
    auto script = this->script;
    deps.makeRandom = [script] { return std::make_unique<ScriptedRandom>(script); };
    deps.reportError = [this](const QString& m) { errors << m; };
    deps.confirmExit = [this](QWidget*) {
        ++exitAsked;
        return exitAnswer != 0;
    };
    app = std::make_unique<KobaltfaApp>(std::move(deps));
}

}  // namespace testkit
