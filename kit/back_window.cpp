#include "kit/back_window.h"

void BackWindow::FormCloseQuery(bool& canClose) {
    Szoveg(kob::Cue::ByeBye);
    if (below_) below_->show();
    canClose = true;
}
