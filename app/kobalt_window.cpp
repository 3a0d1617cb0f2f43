#include "app/kobalt_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>

#include "app/main_window.h"

KobaltWindow::KobaltWindow(TForm1* main, const QString& objectName, const QString& title, QSize client)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      main_(main),
      design_(client) {
    setObjectName(objectName);
    setWindowTitle(title);
    setFixedSize(client);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The skin shortcuts must work whenever this window is the active one.
    TForm1* m = main_ ? main_ : qobject_cast<TForm1*>(this);
    if (m) addActions(m->skinActions());
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

void KobaltWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (e->spontaneous()) return;  // the desktop giving a window back is no opening
    onShow();
    // Centred once its handlers have settled its size for this opening.
    if (QScreen* s = screen()) {
        const QRect avail = s->availableGeometry();
        QRect fg = frameGeometry();
        fg.moveCenter(avail.center());
        move(fg.topLeft());
    }
}

void KobaltWindow::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        QWidget* child = childAt(e->position().toPoint());
        if (!child || !child->isEnabled()) FormClick();
    }
    QWidget::mousePressEvent(e);
}

void KobaltWindow::contextMenuEvent(QContextMenuEvent* e) {
    TForm1* m = main_ ? main_ : qobject_cast<TForm1*>(this);
    if (!m) return;
    QMenu* menu = m->PopupMenu1();
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

void KobaltWindow::Szoveg(const QString& name) {
    TForm1* m = main_ ? main_ : qobject_cast<TForm1*>(this);
    if (m) m->Szoveg(name);
}
