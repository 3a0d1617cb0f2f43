// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "kit/kobalt_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

#include "kit/accessibility.h"
#include "kit/shell.h"
#include "kit/ui_common.h"

KobaltWindow::KobaltWindow(kobui::Shell& shell, const QString& objectName, const QString& title, QSize client,
                           Role role)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      shell_(shell),
      role_(role),
      design_(client),
      centring_(new kobui::ScreenCentring(this)) {
    // Before the title and the controls, so that assistive technologies
    // meet every one of them in its final form.
    kobui::setWindowRole(this, role_ == Role::Dialog);
    setObjectName(objectName);
    setWindowTitle(title);
    setFixedSize(client);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The skin shortcuts must work whenever this window is the active one.
    addActions(shell_.skinActions());
}

void KobaltWindow::setClientHeight(int h) {
    setFixedSize(design_.width(), h);
}

void KobaltWindow::showModalFrom(QWidget* opener) {
    if (opener) opener->hide();
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
}

void KobaltWindow::ensureBuilt() {
    if (built_) return;
    built_ = true;
    buildControls();
}

void KobaltWindow::setVisible(bool visible) {
    // The controls exist before the window is shown, so they show with it.
    if (visible) ensureBuilt();
    QWidget::setVisible(visible);
}

void KobaltWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (e->spontaneous()) return;  // the desktop giving a window back is no opening
    onShow();
    // Centred once its handlers have settled its size for this opening.
    centring_->centre();
}

void KobaltWindow::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    // A fixed dialog frame has no maximise box, but a frame drawn by the
    // toolkit itself (Wayland) or a window manager may still offer one:
    // the window keeps its own size all the same.
    if (e->type() == QEvent::WindowStateChange &&
        (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
    }
}

void KobaltWindow::keyPressEvent(QKeyEvent* e) {
    // Keys reach the window only when the focused control leaves them: the
    // answer and unit fields keep their Enter, push buttons only take Space.
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
        auto* button = qobject_cast<QPushButton*>(focusWidget());
        if (button && button->isEnabled() && button->isVisible()) {
            if (!e->isAutoRepeat()) button->click();
            e->accept();
            return;
        }
    }
    QWidget::keyPressEvent(e);
}

bool KobaltWindow::isBackground(QPoint at) const {
    if (!rect().contains(at)) return false;
    const QWidget* child = childAt(at);
    return !child || !child->isEnabled();
}

void KobaltWindow::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) backgroundPressed_ = isBackground(e->position().toPoint());
    QWidget::mousePressEvent(e);
}

void KobaltWindow::mouseReleaseEvent(QMouseEvent* e) {
    // A click is the press and its release on the background: a press
    // dragged off the window or onto a control is none.
    if (e->button() == Qt::LeftButton) {
        const bool click = backgroundPressed_ && isBackground(e->position().toPoint());
        backgroundPressed_ = false;
        if (click) FormClick();
    }
    QWidget::mouseReleaseEvent(e);
}

void KobaltWindow::mouseDoubleClickEvent(QMouseEvent* e) {
    // The second press of a double click: its first press and release were
    // the click. (The toolkit's default would take it for another press.)
    backgroundPressed_ = false;
    e->accept();
}

void KobaltWindow::contextMenuEvent(QContextMenuEvent* e) {
    QMenu* menu = shell_.skinMenu();
    // The skin menu opens horizontally centred on the mouse.
    const QSize sz = menu->sizeHint();
    menu->popup(e->globalPos() - QPoint(sz.width() / 2, 0));
    e->accept();
}

void KobaltWindow::closeEvent(QCloseEvent* e) {
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose) {
        e->ignore();
        return;
    }
    FormClose();
    e->accept();
}

void KobaltWindow::Szoveg(kob::Cue cue) { shell_.Szoveg(cue); }
