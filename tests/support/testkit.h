// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Helpers for the window tests: a cue player that records, scripted
// randomness, a private settings file, and the whole program wired to them.
#pragma once

#include <QStringList>
#include <QWidget>
#include <QtGlobal>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/cue_player.h"
#include "app/kobaltfa_app.h"
#include "kit/random_source.h"
#include "kit/shell.h"

class QDialog;
class QMenu;

namespace testkit {

// The named control of a window; a missing one ends the test run at once.
template <class T>
T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no control %s in %s", name, qPrintable(w->objectName()));
    return c;
}

// Runs `act` on the next modal dialog once it is the active window. The
// fallback closes it anyway, so a broken dialog can never hang the suite;
// the flag it returns tells whether the fallback had to.
std::shared_ptr<bool> onDialog(std::function<void(QDialog*)> act);

// Records the names of the cues played, in order.
class RecordingPlayer : public kob::CuePlayer {
public:
    void play(std::string_view name, const std::uint8_t* wave, std::size_t size) override;
    QStringList cues;
    std::vector<std::size_t> sizes;
    void clear() { cues.clear(); sizes.clear(); }
};

// Gives the scripted values in order (each taken modulo n). Shared by all
// windows of one test program. A draw after the script has run out ends the
// test run at once with a message naming it: a test gives every value its
// windows draw, so a generator that draws more than it should (a redraw
// loop that never ends) fails there and then instead of hanging.
class ScriptedRandom : public kob::RandomSource {
public:
    explicit ScriptedRandom(std::shared_ptr<std::deque<int>> script) : script_(std::move(script)) {}
    void reseed() override { ++reseeds; }
    int uniform(int n) override;
    int reseeds = 0;
    int draws = 0;  // values this window took

private:
    std::shared_ptr<std::deque<int>> script_;
};

// A shell for a window built without the program: a private settings file,
// recorded cues and refused-write messages, scripted randomness and an
// empty skin menu.
class FakeShell : public kobui::Shell {
public:
    FakeShell();
    ~FakeShell() override;

    const kob::SettingsFile& settings() const override { return *settings_; }
    void Szoveg(kob::Cue cue) override { cues.push_back(cue); }
    std::unique_ptr<kob::RandomSource> makeRandom() override;
    void reportWriteResult(const kob::WriteResult& r) override;
    QMenu* skinMenu() const override { return menu_.get(); }
    QList<QAction*> skinActions() const override { return {}; }

    std::string iniPath() const;

    QTemporaryDir dir;
    std::vector<kob::Cue> cues;
    QStringList errors;
    std::shared_ptr<std::deque<int>> script = std::make_shared<std::deque<int>>();

private:
    std::unique_ptr<kob::SettingsFile> settings_;
    std::unique_ptr<QMenu> menu_;
};

// `text` with its line ends as the platform writes the lines of a new
// settings file (CRLF on Windows, LF elsewhere).
std::string newFileText(const std::string& text);

// The program with every outside piece replaced.
struct Harness {
    explicit Harness(const std::string& iniText = std::string(), bool writeIni = false);
    ~Harness();

    std::string iniPath() const;
    // The file once the saves under way have ended.
    std::string readIni() const;
    // Waits for the saves under way; a refused one is then in `errors`.
    void finishSaves() const;
    void writeIni(const std::string& text) const;

    QTemporaryDir dir;
    RecordingPlayer player;
    std::shared_ptr<std::deque<int>> script = std::make_shared<std::deque<int>>();
    QStringList errors;        // messages shown for refused writes
    int exitAnswer = 1;        // 1 allow (Igen), 0 refuse (Nem)
    int exitAsked = 0;
    std::unique_ptr<KobaltfaApp> app;

    // Builds the eleven windows (reading the settings file as at start).
    void start();
};

}  // namespace testkit
