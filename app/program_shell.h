// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's shell: the one settings file, the sound cues, the random
// sources of the drills, the report of a refused write and the one skin
// manager with its pop-up menu. Every window is built on it; the pieces
// from outside (player, randomness, message boxes) come in as KobaltDeps,
// which tests replace.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <chrono>
#include <functional>
#include <memory>

#include "app/cue_player.h"
#include "kit/shell.h"

class QAction;
class QMenu;
class QString;
class QWidget;
class SkinManager;

// What the program is wired to; tests replace each piece.
struct KobaltDeps {
    // The settings file: beside the executable, or per user for an
    // installed copy (SettingsLocation::portable for one plain file).
    kob::SettingsLocation settingsLocation;
    kob::CuePlayer* player = nullptr;                           // sound cues
    std::function<std::unique_ptr<kob::RandomSource>()> makeRandom;  // per drill window
    // Shows "Unable to write to <path>"; a message box by default.
    std::function<void(const QString&)> reportError;
    // Asks " Egész biztosan kilépsz ? "; the dialog by default. Returns true
    // when the close is allowed.
    std::function<bool(QWidget*)> confirmExit;
};

class ProgramShell final : public kobui::Shell {
public:
    explicit ProgramShell(KobaltDeps deps);
    ~ProgramShell() override;

    const kob::SettingsFile& settings() const override { return settings_; }
    void Szoveg(kob::Cue cue) override;
    std::unique_ptr<kob::RandomSource> makeRandom() override;
    void reportWriteResult(const kob::WriteResult& r) override;
    QMenu* skinMenu() const override;
    QList<QAction*> skinActions() const override;

    SkinManager* skins() const { return skins_.get(); }

    // The exit question as wired (null: the program's own dialog).
    const std::function<bool(QWidget*)>& confirmExit() const { return deps_.confirmExit; }

    // The window a message box about a refused write stands over while it
    // is shown (the main window); otherwise the box stands alone.
    void setMessageOwner(QWidget* w) { messageOwner_ = w; }

    // Saves run on a thread of their own, so that no window waits for them;
    // a refused one is reported on the window thread. At exit the program
    // waits for the saves still under way, at most `limit` (each save gives
    // up on its own after about two seconds of waiting for another's lock),
    // and reports a refusal among them.
    static constexpr std::chrono::milliseconds kSavesAtExit{5000};
    void finishSaves(std::chrono::milliseconds limit = kSavesAtExit);

private:
    void reportRefusal();

    KobaltDeps deps_;
    QObject windowThread_;  // where refusals are posted; outlives the saver
    kob::SettingsFile settings_;
    std::unique_ptr<SkinManager> skins_;
    std::unique_ptr<QMenu> menu_;
    QPointer<QWidget> messageOwner_;
};
