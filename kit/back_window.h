// A window that, when asked to close, plays "ByeBye" and shows the window
// below it again (the main window or the measures chooser).
#pragma once

#include "kit/kobalt_window.h"

class BackWindow : public KobaltWindow {
    Q_OBJECT
public:
    BackWindow(TForm1* main, QWidget* below, const QString& objectName, const QString& title,
               QSize client)
        : KobaltWindow(main, objectName, title, client), below_(below) {}

    QWidget* below() const { return below_; }

protected:
    void FormCloseQuery(bool& canClose) override;

private:
    QWidget* below_;
};
