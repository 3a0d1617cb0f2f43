// The help window: a column with a portrait, the version and a hint about
// the skin menu, and the help text on a blue plate. Nothing is stored.
#pragma once

#include <QStringList>

#include "app/back_window.h"

class QFrame;
class QLabel;
class QPushButton;
class QTextEdit;

class TAboutForm : public BackWindow {
    Q_OBJECT
public:
    explicit TAboutForm(TForm1* main);

    // The help text, one entry per line, blank lines included.
    static const QStringList& helpLines();

    QFrame* sPanel1;
    QLabel* Image1;
    QLabel* Label2;
    QLabel* Label1;
    QPushButton* Vege;
    QTextEdit* RichEdit1;

public slots:
    void VegeClick();

protected:
    void onShow() override { FormActivate(); }
    void FormClick() override;

    void FormActivate();
};
