// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A window that, when asked to close, plays "ByeBye" and shows the window
// below it again (the main window or the measures chooser).
#pragma once

#include "kit/kobalt_window.h"

class BackWindow : public KobaltWindow {
    Q_OBJECT
public:
    BackWindow(kobui::Shell& shell, QWidget* below, const QString& objectName, const QString& title,
               QSize client)
        : KobaltWindow(shell, objectName, title, client), below_(below) {}

protected:
    void FormCloseQuery(bool& canClose) override;

private:
    QWidget* below_;
};
