// The reference for the start measurements: the least a Qt Widgets program
// does to put a window with a few buttons on the screen.
#include <QApplication>
#include <QGridLayout>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget w;
    w.setWindowTitle(QStringLiteral("Bare"));
    auto* grid = new QGridLayout(&w);
    const char* captions[] = {"One", "Two", "Three", "Four", "Five", "Six"};
    for (int i = 0; i < 6; ++i) grid->addWidget(new QPushButton(QString::fromLatin1(captions[i])), i / 2, i % 2);
    w.resize(792, 137);
    w.show();
    return app.exec();
}
