// The main window: the menu of the program, the one skin manager, the skin
// pop-up menu every window uses, the cue operation Szoveg and the settings
// file every window reads and writes.
#pragma once

#include <QList>
#include <QPointer>
#include <functional>
#include <memory>

#include "app/cue_player.h"
#include "kit/kobalt_window.h"
#include "settings/settings_file.h"
#include "kit/random_source.h"

class QAction;
class QMenu;
class QPushButton;
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

class TForm1 : public KobaltWindow {
    Q_OBJECT
public:
    explicit TForm1(KobaltDeps deps);
    ~TForm1() override;

    // Plays a named cue; the name is matched without regard to case.
    void Szoveg(const QString& name);

    QMenu* PopupMenu1() const { return popup_; }
    const QList<QAction*>& skinActions() const { return skinActions_; }
    SkinManager* SkinMen() const { return skin_; }

    const kob::SettingsFile& settings() const { return settings_; }
    // Writes a batch of settings; a refused write is reported by its message.
    bool writeSettings(const std::vector<kob::IniEntry>& entries);
    void reportWriteResult(const kob::WriteResult& r);
    std::unique_ptr<kob::RandomSource> makeRandom() const;

    // The windows the menu buttons open (set once all eleven exist).
    void setTargets(KobaltWindow* osszead, KobaltWindow* kivon, KobaltWindow* szorzas,
                    KobaltWindow* osztas, KobaltWindow* mertek, KobaltWindow* about);

    QPushButton *OsszeBtn, *KivonBtn, *SzorozBtn, *OsztBtn, *MertekBtn, *KilepBtn, *AboutBtn;

    // The exit dialog: true when the close is allowed ("&Igen" or the
    // dialog's own close box), false for "&Nem" (also Escape).
    static bool askExit(QWidget* parent);

public slots:
    // The menu buttons: each hides the main window and shows its target.
    void OsszeBtnClick();
    void KivonBtnClick();
    void SzorozBtnClick();
    void OsztBtnClick();
    void MertekBtnClick();
    void AboutBtnClick();
    // "Kilépés": asks the main window to close.
    void KilepBtnClick();

signals:
    void programEnded();

protected:
    void FormCloseQuery(bool& canClose) override;
    void FormClose() override;

private:
    void FormCreate();
    void buildButtons();
    void buildPopup();
    void open(int target);

    KobaltDeps deps_;
    kob::SettingsFile settings_;
    SkinManager* skin_ = nullptr;
    QMenu* popup_ = nullptr;
    QList<QAction*> skinActions_;
    QPointer<KobaltWindow> targets_[6];
};
