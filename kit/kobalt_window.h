// The common frame of every Kobaltfa window: fixed dialog frame with only a
// close box, a fixed client area, centred on the screen by its frame, the
// skin pop-up menu on a right click anywhere, the skin shortcuts, Enter on
// the focused button for a keyboard-only pupil, and the handler hooks the
// windows fill in (creation, activation, background click, close query,
// close). A window closes by its back button, its close box or Alt+F4;
// Escape closes nothing.
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

class TForm1;
namespace kobui {
class ScreenCentring;
}

class KobaltWindow : public QWidget {
    Q_OBJECT
public:
    // `main` is the main window every window plays its cues through; the
    // main window passes nullptr for itself.
    KobaltWindow(TForm1* main, const QString& objectName, const QString& title, QSize client);

    TForm1* mainForm() const { return main_; }

    // Hides `opener` and shows this window modally over it. Returns at once;
    // the window's close query shows the window below it again.
    void showModalFrom(QWidget* opener);

    // The client size the window was designed with.
    QSize designSize() const { return design_; }

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
    // A left click on the bare background (not on a control); a double
    // click is one click.
    virtual void FormClick() {}
    // The window is asked to close; set `canClose` false to refuse.
    virtual void FormCloseQuery(bool& canClose) { (void)canClose; }
    // The close was allowed; runs before the window hides.
    virtual void FormClose() {}

    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;

    // Plays a cue through the main window.
    void Szoveg(const QString& name);

private:
    TForm1* main_;
    QSize design_;
    bool built_ = true;
    kobui::ScreenCentring* centring_;
};
