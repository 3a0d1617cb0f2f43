// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The reference for the start measurements: the least a Qt Widgets program
// does to put a window with a few buttons on the screen.
#include <QApplication>
#include <QGridLayout>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget w;
    w.setWindowTitle(QStringLiteral("Bare"));
    auto* grid = new QGridLayout(&w);
    const char* captions[] = {"One", "Two", "Three", "Four", "Five", "Six"};
    for (int i = 0; i < 6; ++i) grid->addWidget(new QPushButton(QString::fromLatin1(captions[i])), i / 2, i % 2);
    w.resize(792, 137);
    w.show();
    // For profiling: end once the first pass of the event loop (the first
    // paint) is over.
    if (argc > 1 && std::strcmp(argv[1], "--quit-after-paint") == 0)
        QTimer::singleShot(0, [] { QTimer::singleShot(0, [] { std::_Exit(0); }); });
    return app.exec();
}
