// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window: the program's menu of drills, the exit question and the
// skin name kept in the settings file. It is built on the program's shell,
// which holds the one skin manager, the skin pop-up menu, the cue player
// and the settings file every window shares.
#pragma once

#include <QPointer>

#include "app/program_shell.h"
#include "kit/kobalt_window.h"

class QMenu;
class QPushButton;
class SkinManager;

class TForm1 : public KobaltWindow {
    Q_OBJECT
public:
    explicit TForm1(ProgramShell& shell);
    ~TForm1() override;

    // The skin pop-up menu and the skin manager, both the shell's.
    QMenu* PopupMenu1() const { return program_.skinMenu(); }
    SkinManager* SkinMen() const { return program_.skins(); }

    // The windows the menu buttons open (set once all eleven exist).
    void setTargets(KobaltWindow* addition, KobaltWindow* subtraction, KobaltWindow* multiplication,
                    KobaltWindow* division, KobaltWindow* measures, KobaltWindow* help);

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
    void open(int target);

    ProgramShell& program_;
    QPointer<KobaltWindow> targets_[6];
};
