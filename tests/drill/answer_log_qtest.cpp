// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The answer log on its own: lines and colours kept, the newest line drawn
// at the bottom, long lines wrapped, and a log that takes typing turning
// into an editor without losing a line.
#include <QAccessible>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

#include "drill/answer_log.h"

using kobui::AnswerLog;

namespace {

constexpr std::uint32_t kGreen = 0x008000, kRed = 0xFF0000;

QFont logFont() {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(15);
    f.setBold(true);
    return f;
}

// A log as the arithmetic windows have it: 161 x 145, rounded inset.
std::unique_ptr<AnswerLog> makeShown(bool readOnly) {
    auto log = std::make_unique<AnswerLog>(nullptr, readOnly);
    log->setFont(logFont());
    log->setFrameShape(QFrame::NoFrame);
    log->resize(161, 145);
    log->setInset(5);
    log->show();
    if (!QTest::qWaitForWindowExposed(log.get())) return nullptr;
    return log;
}

// How many pixels of the band [y0, y1) of the viewport are clearly of the
// colour (0xRRGGBB) the log draws its text in.
int pixelsOf(AnswerLog* log, int y0, int y1, std::uint32_t rgb) {
    const QImage img = log->viewport()->grab().toImage();
    const QColor want(QRgb(rgb | 0xFF000000u));
    int n = 0;
    for (int y = std::max(0, y0); y < std::min(img.height(), y1); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (std::abs(c.red() - want.red()) < 40 && std::abs(c.green() - want.green()) < 40 &&
                std::abs(c.blue() - want.blue()) < 40)
                ++n;
        }
    return n;
}

}  // namespace

class AnswerLogTest : public QObject {
    Q_OBJECT
private slots:
    void keepsLinesColoursAndOrder();
    void manyAndLongLinesComeBackExactly();
    void drawsTheNewestLineAtTheBottom();
    void wrapsALineTooLongForTheWidth();
    void readOnlyLogIgnoresTyping();
    void typingTurnsItIntoAnEditorKeepingEveryLine();
    void clickPutsTheCaretOnTheClickedLine();
    void anEmptyFirstLineSurvivesEditing();
    void screenReadersReadTheLines();
};

void AnswerLogTest::keepsLinesColoursAndOrder() {
    AnswerLog log(nullptr, true);
    QCOMPARE(log.lineCount(), 0);
    QCOMPARE(log.lastLine(), QString());
    log.appendLine(QStringLiteral("3+4=7"), kGreen);
    log.appendLine(QStringLiteral("0+2=5"), kRed);
    log.appendLine(QString(), kGreen);  // an empty line is still a line
    log.appendLine(QStringLiteral("ő ű ²"), 0x123456);
    QCOMPARE(log.lineCount(), 4);
    QCOMPARE(log.line(0), QStringLiteral("3+4=7"));
    QCOMPARE(log.line(1), QStringLiteral("0+2=5"));
    QCOMPARE(log.line(2), QString());
    QCOMPARE(log.lastLine(), QStringLiteral("ő ű ²"));
    QCOMPARE(log.lineColour(0), QColor(0, 0x80, 0));
    QCOMPARE(log.lineColour(1), QColor(0xFF, 0, 0));
    QCOMPARE(log.lineColour(3), QColor(0x12, 0x34, 0x56));
    QCOMPARE(log.line(4), QString());
    QCOMPARE(log.line(-1), QString());
    QCOMPARE(log.toPlainText(), QStringLiteral("3+4=7\n0+2=5\n\nő ű ²"));

    log.clear();
    QCOMPARE(log.lineCount(), 0);
    QCOMPARE(log.toPlainText(), QString());
    log.appendLine(QStringLiteral("1+1=2"), kGreen);
    QCOMPARE(log.toPlainText(), QStringLiteral("1+1=2"));
}

void AnswerLogTest::manyAndLongLinesComeBackExactly() {
    // Lines of every length around the one-byte limit, multi-byte
    // characters, across many 64-line stretches.
    AnswerLog log(nullptr, true);
    QStringList want;
    for (int i = 0; i < 300; ++i) {
        QString line;
        if (i % 37 == 5) line = QString(250 + i % 9, QLatin1Char('x'));  // 250..258 bytes
        else if (i % 11 == 3) line = QStringLiteral("ő%1²").arg(i);
        else line = QStringLiteral("%1+%2=%3").arg(i).arg(i % 7).arg(i + i % 7);
        if (i % 23 == 0) line += QString(300, QChar(0x0151));  // 600 bytes of "ő"
        want << line;
        log.appendLine(line, i % 2 ? kGreen : kRed);
    }
    QCOMPARE(log.lineCount(), 300);
    for (int i = 0; i < 300; ++i) {
        QCOMPARE(log.line(i), want[i]);
        QCOMPARE(log.lineColour(i), QColor(QRgb(i % 2 ? kGreen : kRed)));
    }
    QCOMPARE(log.toPlainText(), want.join(QLatin1Char('\n')));
}

void AnswerLogTest::drawsTheNewestLineAtTheBottom() {
    auto log = makeShown(true);
    QVERIFY(log);
    for (int i = 0; i < 40; ++i) log->appendLine(QStringLiteral("%1+1=%2").arg(i).arg(i + 1), kGreen);
    log->appendLine(QStringLiteral("99+1=1"), kRed);
    QScrollBar* sb = log->verticalScrollBar();
    QVERIFY(sb->maximum() > 0);
    QCOMPARE(sb->value(), sb->maximum());

    // The last line fills the band just above the bottom inset; the one
    // before it is green.
    const int h = log->viewport()->height();
    const int lh = log->verticalScrollBar()->singleStep();  // one line
    QVERIFY(pixelsOf(log.get(), h - 5 - lh, h - 5, kRed) > 20);
    QCOMPARE(pixelsOf(log.get(), h - 5 - lh, h - 5, kGreen), 0);
    QVERIFY(pixelsOf(log.get(), h - 5 - 2 * lh, h - 5 - lh, kGreen) > 20);

    // Scrolled to the top, the first lines show and the red one does not.
    sb->setValue(0);
    QCOMPARE(pixelsOf(log.get(), 0, h, kRed), 0);
    QVERIFY(pixelsOf(log.get(), 5, 5 + lh, kGreen) > 20);
}

void AnswerLogTest::wrapsALineTooLongForTheWidth() {
    auto log = makeShown(true);
    QVERIFY(log);
    for (int i = 0; i < 20; ++i) log->appendLine(QStringLiteral("1+1=2"), kGreen);
    const int lh = log->verticalScrollBar()->singleStep();  // one line
    const int oneRowEach = log->verticalScrollBar()->maximum();
    log->appendLine(QStringLiteral("0.00007 km 0.07 m .7 dm 7 cm 7 mm"), kRed);
    const int rows = (log->verticalScrollBar()->maximum() - oneRowEach) / lh;
    QVERIFY2(rows >= 2, qPrintable(QString::number(rows)));
    // Both of its last two rows are drawn, in its colour, at the bottom.
    const int h = log->viewport()->height();
    QVERIFY(pixelsOf(log.get(), h - 5 - lh, h - 5, kRed) > 10);
    QVERIFY(pixelsOf(log.get(), h - 5 - 2 * lh, h - 5 - lh, kRed) > 10);
    QCOMPARE(pixelsOf(log.get(), h - 5 - 2 * lh, h - 5, kGreen), 0);

    // A wider log needs fewer rows for it: the rows are counted again.
    log->resize(700, 145);
    QCoreApplication::processEvents();
    const int wide = log->verticalScrollBar()->maximum();
    log->clear();
    for (int i = 0; i < 21; ++i) log->appendLine(QStringLiteral("1+1=2"), kGreen);
    QCOMPARE(wide, log->verticalScrollBar()->maximum());
}

void AnswerLogTest::readOnlyLogIgnoresTyping() {
    auto log = makeShown(true);
    QVERIFY(log);
    log->appendLine(QStringLiteral("3+4=7"), kGreen);
    QTest::keyClicks(log.get(), QStringLiteral("12"));
    QTest::keyClick(log.get(), Qt::Key_Backspace);
    QTest::mouseClick(log->viewport(), Qt::LeftButton, {}, QPoint(50, 10));
    QVERIFY(!log->editor());
    QVERIFY(!log->beginEditing());
    QCOMPARE(log->toPlainText(), QStringLiteral("3+4=7"));
}

void AnswerLogTest::typingTurnsItIntoAnEditorKeepingEveryLine() {
    auto log = makeShown(false);
    QVERIFY(log);
    log->activateWindow();
    log->setFocus();
    log->appendLine(QStringLiteral("1 km 1000 m "), kGreen);
    log->appendLine(QStringLiteral("2 km 20 m  ^"), kRed);

    // Escape and moving keys leave it as it is (Escape goes on to the window).
    QTest::keyClick(log.get(), Qt::Key_Escape);
    QTest::keyClick(log.get(), Qt::Key_Up);
    QVERIFY(!log->editor());

    QTest::keyClicks(log.get(), QStringLiteral("ok"));
    QTextEdit* ed = log->editor();
    QVERIFY(ed);
    QVERIFY(ed->isVisible());
    QCOMPARE(ed->document()->documentMargin(), 5.0);
    QCOMPARE(log->lineCount(), 2);
    QCOMPARE(log->line(0), QStringLiteral("1 km 1000 m "));
    QCOMPARE(log->lineColour(0), QColor(0, 0x80, 0));
    QCOMPARE(log->lineColour(1), QColor(0xFF, 0, 0));
    QCOMPARE(log->lastLine(), QStringLiteral("2 km 20 m  ^ok"));  // typed where the caret was: the end

    // The program's next line still lands at the end, on a line of its own.
    log->appendLine(QStringLiteral("3 km 3000 m "), kGreen);
    QCOMPARE(log->lineCount(), 3);
    QCOMPARE(log->lastLine(), QStringLiteral("3 km 3000 m "));
    QCOMPARE(log->lineColour(2), QColor(0, 0x80, 0));
    QCOMPARE(log->toPlainText(), QStringLiteral("1 km 1000 m \n2 km 20 m  ^ok\n3 km 3000 m "));

    // Emptied, it is the plain list of lines again.
    log->clear();
    QVERIFY(!log->editor());
    QCOMPARE(log->lineCount(), 0);
    log->appendLine(QStringLiteral("4 km 4000 m "), kGreen);
    QCOMPARE(log->toPlainText(), QStringLiteral("4 km 4000 m "));
}

void AnswerLogTest::clickPutsTheCaretOnTheClickedLine() {
    auto log = makeShown(false);
    QVERIFY(log);
    for (int i = 0; i < 30; ++i) log->appendLine(QStringLiteral("line %1").arg(i), i % 2 ? kGreen : kRed);
    const int h = log->viewport()->height();
    const int lh = log->verticalScrollBar()->singleStep();  // one line
    const int shownAt = log->verticalScrollBar()->value();
    // The second line from the bottom, as it was shown before the click.
    QTest::mouseClick(log->viewport(), Qt::LeftButton, {}, QPoint(80, h - 5 - lh - lh / 2));
    QTextEdit* ed = log->editor();
    QVERIFY(ed);
    QCOMPARE(ed->textCursor().blockNumber(), 28);
    QCOMPARE(ed->verticalScrollBar()->value(), shownAt);  // nothing jumps
}

void AnswerLogTest::anEmptyFirstLineSurvivesEditing() {
    // A log that starts with one empty line and nothing else: once it is an
    // editor, the program's next line still goes on the second row.
    auto alone = makeShown(false);
    QVERIFY(alone);
    alone->appendLine(QString(), 0);
    QVERIFY(alone->beginEditing());
    QCOMPARE(alone->lineCount(), 1);
    alone->appendLine(QStringLiteral("1 km 1000 m "), kGreen);
    QCOMPARE(alone->toPlainText(), QStringLiteral("\n1 km 1000 m "));
    QCOMPARE(alone->lineColour(1), QColor(0, 0x80, 0));

    // The same with lines after it, and with an empty line in the middle.
    auto log = makeShown(false);
    QVERIFY(log);
    log->appendLine(QString(), 0);
    log->appendLine(QStringLiteral("2 km 2000 m "), kGreen);
    log->appendLine(QString(), kRed);
    log->appendLine(QStringLiteral("3 km 30 m "), kRed);
    QVERIFY(log->beginEditing());
    QCOMPARE(log->lineCount(), 4);
    QCOMPARE(log->toPlainText(), QStringLiteral("\n2 km 2000 m \n\n3 km 30 m "));
    QCOMPARE(log->lineColour(1), QColor(0, 0x80, 0));
    QCOMPARE(log->lineColour(3), QColor(0xFF, 0, 0));

    // A log with no line at all still takes its first line on the first row.
    auto empty = makeShown(false);
    QVERIFY(empty);
    QVERIFY(empty->beginEditing());
    QCOMPARE(empty->lineCount(), 0);
    empty->appendLine(QStringLiteral("4 km 4000 m "), kGreen);
    QCOMPARE(empty->lineCount(), 1);
    QCOMPARE(empty->toPlainText(), QStringLiteral("4 km 4000 m "));
}

void AnswerLogTest::screenReadersReadTheLines() {
    AnswerLog log(nullptr, true);
    log.setAccessibleName(QStringLiteral("válaszok"));
    log.appendLine(QStringLiteral("3+4=7"), kGreen);
    log.appendLine(QStringLiteral("0+2=5"), kRed);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&log);
    QVERIFY(a);
    QCOMPARE(a->text(QAccessible::Name), QStringLiteral("válaszok"));
    QVERIFY(a->state().readOnly);
    QAccessibleTextInterface* t = a->textInterface();
    QVERIFY(t);
    QCOMPARE(t->text(0, t->characterCount()), QStringLiteral("3+4=7\n0+2=5"));
    QCOMPARE(a->text(QAccessible::Description), QStringLiteral("0+2=5"));  // the newest answer
}

QTEST_MAIN(AnswerLogTest)
#include "answer_log_qtest.moc"
