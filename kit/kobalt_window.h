// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The common frame of every Kobaltfa window: fixed dialog frame with only a
// close box, a fixed client area, centred on the screen by its frame, the
// skin pop-up menu on a right click anywhere, the skin shortcuts, Enter on
// the focused button for a keyboard-only pupil, and the handler hooks the
// windows fill in (creation, activation, background click, close query,
// close). A window reaches the rest of the program only through its shell.
// A window closes by its back button, its close box or Alt+F4; Escape
// closes nothing.
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

#include "kit/cue_fwd.h"

namespace kobui {
class ScreenCentring;
class Shell;
}  // namespace kobui

class KobaltWindow : public QWidget {
    Q_OBJECT
public:
    // The main window is the program's frame; every other window is one of
    // its dialogs (which is what assistive technologies are told).
    enum class Role { Frame, Dialog };

    KobaltWindow(kobui::Shell& shell, const QString& objectName, const QString& title, QSize client,
                 Role role = Role::Dialog);

    kobui::Shell& shell() const { return shell_; }
    Role role() const { return role_; }

    // Hides `opener` and shows this window modally over it. Returns at once;
    // the window's close query shows the window below it again.
    void showModalFrom(QWidget* opener);

    // Sets the window's outer height (the frame is the toolkit's); used by
    // the addition and subtraction windows to cut off the picture strip.
    void setClientHeight(int h);

    // Builds the window's controls now if it left them for its first
    // showing (see deferControls); nothing otherwise.
    void ensureBuilt();
    bool isBuilt() const { return built_; }

    void setVisible(bool visible) override;

protected:
    // A window that reads nothing and does nothing before its first opening
    // calls this in its constructor: its controls are then built by
    // buildControls just before it is first shown (or on ensureBuilt), so
    // the program's start does not pay for windows the pupil has not opened.
    void deferControls() { built_ = false; }
    virtual void buildControls() {}

    // Runs each time the window is shown, before it becomes active.
    virtual void onShow() {}
    // A left click on the bare background (not on a control): a press and
    // its release both on it; a double click is one click.
    virtual void FormClick() {}
    // The window is asked to close; set `canClose` false to refuse.
    virtual void FormCloseQuery(bool& canClose) { (void)canClose; }
    // The close was allowed; runs before the window hides.
    virtual void FormClose() {}

    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;

    // Plays a cue through the shell.
    void Szoveg(kob::Cue cue);

private:
    // Whether `at` (in the window) is bare background: inside the window and
    // on no control, or on a disabled one.
    bool isBackground(QPoint at) const;

    kobui::Shell& shell_;
    Role role_;
    QSize design_;  // the client size the window was designed with
    bool built_ = true;
    bool backgroundPressed_ = false;  // the left button went down on the bare background
    kobui::ScreenCentring* centring_;
};
