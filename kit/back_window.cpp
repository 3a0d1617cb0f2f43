// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "kit/back_window.h"

#include "kit/cue.h"

void BackWindow::FormCloseQuery(bool& canClose) {
    Szoveg(kob::Cue::ByeBye);
    if (below_) below_->show();
    canClose = true;
}
