#include "kit/back_window.h"

void BackWindow::FormCloseQuery(bool& canClose) {
    Szoveg(QStringLiteral("ByeBye"));
    if (below_) below_->show();
    canClose = true;
}
