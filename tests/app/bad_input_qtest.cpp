// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program under a pupil who hammers the keyboard: thousands of random
// keys (letters, signs, characters of other scripts, control and editing
// keys, Ctrl and Alt combinations, paste) into an answer field, a unit field
// and a maximum spin box, answers given back to back, a megabyte pasted,
// and a settings file full of junk. What must hold throughout: the fields
// hold only what their filters admit, the counters agree with each other
// and with the answer log, and the windows keep working.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

#include "app/main_window.h"
#include "settings/settings_file.h"
#include "arith/arith_windows.h"
#include "drill/answer_log.h"
#include "drill/drill_controls.h"
#include "drill/drill_ui.h"
#include "measure/conversion_engine.h"
#include "measure/conversion_settings.h"
#include "measure/conversion_windows.h"
#include "measure/mertek_form.h"
#include "support/testkit.h"

using testkit::Harness;
using testkit::child;

namespace {

int logLineCount(kobui::AnswerLog* memo) {
    int n = 0;
    for (int i = 0; i < memo->lineCount(); ++i) n += !memo->line(i).isEmpty();
    return n;
}

// One random key as a keyboard would send it.
struct Key {
    Qt::Key key;
    QString text;
    Qt::KeyboardModifiers mods;
};

class KeyMonkey {
public:
    explicit KeyMonkey(unsigned seed) : rng_(seed) {}

    Key next() {
        static const QString kAscii = QStringLiteral(
            " !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
        // Letters with accents, digits of other scripts (Arabic-Indic,
        // full-width, superscript), fractions, a non-breaking blank, an emoji.
        static const QStringList kOther = {
            QStringLiteral("é"), QStringLiteral("ő"), QStringLiteral("Ű"), QStringLiteral("٣"),
            QStringLiteral("５"), QStringLiteral("²"), QStringLiteral("½"), QStringLiteral("\u00a0"),
            QStringLiteral("\u2212"), QStringLiteral("\U0001F600"), QStringLiteral("٫")};
        static const Qt::Key kEditing[] = {
            Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End,
            Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Tab, Qt::Key_Backtab,
            Qt::Key_Escape, Qt::Key_Insert, Qt::Key_F1, Qt::Key_F2, Qt::Key_F10, Qt::Key_Menu};
        const int kind = pick(100);
        if (kind < 30) {  // a digit
            const int d = pick(10);
            return {Qt::Key(Qt::Key_0 + d), QString(QChar(u'0' + d)), Qt::NoModifier};
        }
        if (kind < 50) {  // any other ASCII character
            const QChar c = kAscii.at(pick(int(kAscii.size())));
            return {c.isLetter() ? Qt::Key(Qt::Key_A + (c.toUpper().unicode() - u'A')) : Qt::Key(c.unicode()),
                    QString(c), c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier};
        }
        if (kind < 57) return {Qt::Key_unknown, kOther.at(pick(int(kOther.size()))), Qt::NoModifier};
        if (kind < 60) {  // control characters as text
            static const char16_t kControl[] = {u'\0', u'\x01', u'\t', u'\x1b', u'\x7f', u'\x0a'};
            return {Qt::Key_unknown, QString(QChar(kControl[pick(6)])), Qt::NoModifier};
        }
        if (kind < 72) return {kEditing[pick(int(std::size(kEditing)))], QString(), Qt::NoModifier};
        if (kind < 80) return {pick(2) ? Qt::Key_Return : Qt::Key_Enter, QStringLiteral("\r"), Qt::NoModifier};
        if (kind < 95) {  // Ctrl with a letter (undo, cut, copy, select all, the skin keys ...)
            const int l = pick(26);
            const QString text = pick(2) ? QString(QChar(char16_t(l + 1))) : QString(QChar(u'a' + l));
            const Qt::KeyboardModifiers extra = pick(4) == 0 ? Qt::ShiftModifier : Qt::NoModifier;
            return {Qt::Key(Qt::Key_A + l), text, Qt::ControlModifier | extra};
        }
        static const Key kCombos[] = {
            {Qt::Key_Insert, QString(), Qt::ShiftModifier},    // paste
            {Qt::Key_Insert, QString(), Qt::ControlModifier},  // copy
            {Qt::Key_Delete, QString(), Qt::ShiftModifier},    // cut
            {Qt::Key_Backspace, QString(), Qt::ControlModifier},
            {Qt::Key_Z, QStringLiteral("\x1a"), Qt::ControlModifier | Qt::ShiftModifier},
            {Qt::Key_5, QStringLiteral("5"), Qt::AltModifier},
            {Qt::Key_Period, QStringLiteral("."), Qt::KeypadModifier},
            {Qt::Key_7, QStringLiteral("7"), Qt::KeypadModifier},
        };
        return kCombos[pick(int(std::size(kCombos)))];
    }

    // Text for the clipboard: anything a pupil might have copied.
    QString junk(int length) {
        QString s;
        static const QString kPool = QStringLiteral("0123456789.,-+ abcxyzé٣５\t\n\r");
        for (int i = 0; i < length; ++i) s += kPool.at(pick(int(kPool.size())));
        return s;
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

private:
    std::mt19937 rng_;
};

void press(QWidget* w, const Key& k) { QTest::sendKeyEvent(QTest::Click, w, k.key, k.text, k.mods); }

const QRegularExpression kAnswerChars(QStringLiteral("^[0-9]{0,5}$"));
const QRegularExpression kUnitChars(QStringLiteral("^[0-9.]*$"));

}  // namespace

class BadInputTest : public QObject {
    Q_OBJECT
private slots:
    void answerFieldUnderAKeyFlood();
    void unitFieldAndSpinBoxUnderAKeyFlood();
    void answersBackToBack();
    void aPastedMegabyte();
    void junkSettingsFile();
    void settingsPathThatIsNoFile();
};

void BadInputTest::answerFieldUnderAKeyFlood() {
    Harness h;
    h.script->assign(2 * 10001, 0);  // at most a question a key, two draws each: 0+1
    h.start();
    TForm1* f = h.app->Form1;
    ArithWindow* w = h.app->OsszeadForm;
    f->show();
    f->OsszeBtn->click();
    QVERIFY(w->isVisible());
    w->controls()->ElteltIdo->stop();
    kobui::DrillControls* c = w->controls();

    KeyMonkey monkey(20240611);
    int checks = 0, escapes = 0;
    for (int i = 0; i < 10000; ++i) {
        if (i % 500 == 0) QApplication::clipboard()->setText(monkey.junk(monkey.pick(40)));
        const Key k = monkey.next();
        const bool enter = k.key == Qt::Key_Return || k.key == Qt::Key_Enter;
        const bool filled = !w->Annyi->text().isEmpty();
        const int askedBefore = w->drill().state().AskedCount;
        press(w->Annyi, k);
        escapes += k.key == Qt::Key_Escape;

        // No key closes the window or ends the run, Escape included.
        QVERIFY2(w->isVisible(), qPrintable(QStringLiteral("key %1 closed the window").arg(i)));
        QVERIFY(!h.player.cues.contains(QStringLiteral("ByeBye")));
        const QString text = w->Annyi->text();
        QVERIFY2(kAnswerChars.match(text).hasMatch(), qPrintable(QStringLiteral("key %1: \"%2\"").arg(i).arg(text)));
        const kob::DrillState& s = w->drill().state();
        // Enter on a filled field checks it, and only that checks.
        const bool checked = enter && filled;
        checks += checked;
        QCOMPARE(s.AskedCount, askedBefore + (checked ? 1 : 0));
        QCOMPARE(s.AskedCount, s.GoodCount + s.BadCount + 1);
        if (checked) QVERIFY(text.isEmpty());  // the next question starts empty
        if (checked || i % 250 == 0) {
            QCOMPARE(c->OsszSzam->text(), QString::number(checks));
            QCOMPARE(c->JoSzam->text(), QString::number(s.GoodCount));
            QCOMPARE(c->RosszSzam->text(), QString::number(s.BadCount));
            QCOMPARE(logLineCount(c->Memo), checks);
        }
    }
    QVERIFY(checks > 100);
    QVERIFY(escapes > 10);
    qInfo("%d checks, %d times Escape", checks, escapes);
}

void BadInputTest::unitFieldAndSpinBoxUnderAKeyFlood() {
    Harness h("[HosszuRadioButtonok]\nRBNm=1\n");
    h.script->assign({1});  // 2 m
    h.start();
    h.app->Form1->show();
    h.app->Form1->MertekBtn->click();
    h.app->MertekForm->Hosszusag->click();
    ConversionWindow* w = h.app->HosszuForm;
    QVERIFY(w->isVisible());
    w->Kovetkezo->click();
    w->controls()->ElteltIdo->stop();
    const auto& rows = w->unitControls();
    QCOMPARE(rows[1].field->text(), QStringLiteral("2"));

    // No key closes the window, Escape included.
    int escapes = 0;
    const auto stillOpen = [&](const Key& k) {
        escapes += k.key == Qt::Key_Escape;
        QVERIFY(w->isVisible());
        QVERIFY(h.app->MertekForm->isHidden());
    };

    KeyMonkey monkey(7);
    for (int i = 0; i < 10000; ++i) {
        if (i % 500 == 0) QApplication::clipboard()->setText(monkey.junk(monkey.pick(40)));
        QLineEdit* field = rows[std::size_t(i % 97 == 0 ? monkey.pick(5) : 2)].field;
        const Key k = monkey.next();
        press(field, k);
        stillOpen(k);
        if (QTest::currentTestFailed()) return;
        for (const auto& r : rows)
            QVERIFY2(kUnitChars.match(r.field->text()).hasMatch(),
                     qPrintable(QStringLiteral("key %1: \"%2\"").arg(i).arg(r.field->text())));
        // Enter passes but checks nothing: the task stays open.
        QCOMPARE(w->engine().phase(), kob::ConversionPhase::Asking);
        QCOMPARE(w->engine().drill().AskedCount, 1);
    }

    QSpinBox* spin = rows[0].spin;  // km: 0 .. 1000
    for (int i = 0; i < 3000; ++i) {
        spin->setFocus();
        const Key k = monkey.next();
        press(spin, k);
        stillOpen(k);
        if (QTest::currentTestFailed()) return;
        QVERIFY(spin->value() >= 0 && spin->value() <= 1000);
        if (i % 100 == 99) {
            // Leaving the box settles its text on a value within the bounds.
            QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
            QApplication::sendEvent(spin, &leave);
            const int read = kob::spinTextValue(spin->text().toStdString());
            QVERIFY2(read >= 0 && read <= 1000, qPrintable(spin->text()));
        }
    }

    QVERIFY(escapes > 10);
    qInfo("%d times Escape", escapes);
    w->EllenBtn->click();
    const kob::DrillState& s = w->engine().drill();
    QCOMPARE(w->engine().phase(), kob::ConversionPhase::Judged);
    QCOMPARE(s.AskedCount, s.GoodCount + s.BadCount);
    QCOMPARE(logLineCount(w->controls()->Memo), 1);
    w->controls()->sButton1->click();
    const QString ini = QString::fromStdString(h.readIni());
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("SpinKm=(-?\\d+)")).match(ini);
    QVERIFY2(m.hasMatch(), qPrintable(ini));
    QVERIFY(m.captured(1).toInt() >= 0 && m.captured(1).toInt() <= 1000);
}

void BadInputTest::answersBackToBack() {
    Harness h;
    // Every draw 0: each question is 0+1 in the range up to 10 (1001
    // questions of two draws), each conversion task 1 (300 tasks).
    h.script->assign(2 * 1001 + 300, 0);
    h.start();
    h.app->Form1->show();
    h.app->Form1->OsszeBtn->click();
    ArithWindow* w = h.app->OsszeadForm;
    w->controls()->ElteltIdo->stop();
    for (int i = 0; i < 1000; ++i) {
        QTest::keyClick(w->Annyi, i % 2 ? Qt::Key_2 : Qt::Key_1);
        QTest::keyClick(w->Annyi, Qt::Key_Return);
    }
    kobui::DrillControls* c = w->controls();
    QCOMPARE(c->OsszSzam->text(), QStringLiteral("1000"));
    QCOMPARE(c->JoSzam->text(), QStringLiteral("500"));
    QCOMPARE(c->RosszSzam->text(), QStringLiteral("500"));
    QCOMPARE(c->Csik->value(), 50);
    QCOMPARE(logLineCount(c->Memo), 1000);
    QCOMPARE(w->drill().state().AskedCount, 1001);
    QCOMPARE(h.player.cues.count(QStringLiteral("Perfect")), 500);
    QCOMPARE(h.player.cues.count(QStringLiteral("Missed")), 500);
    QCOMPARE(h.script->size(), std::size_t(300));  // two draws a question, no more

    // And as many conversion tasks, each drawn, answered and checked.
    h.app->Form1->show();
    h.app->Form1->MertekBtn->click();
    h.app->MertekForm->TomegBtn->click();
    ConversionWindow* t = h.app->TomegForm;
    QTest::mouseClick(t->unitControls()[2].choice, Qt::LeftButton);  // kg given; every draw gives 1
    for (int i = 0; i < 300; ++i) {
        t->Kovetkezo->click();
        QTest::keyClicks(t->unitControls()[4].field, i % 3 ? QStringLiteral("1000") : QStringLiteral("1,5"));
        QTest::keyClicks(t->unitControls()[0].field, QStringLiteral(".001"));
        QTest::keyClicks(t->unitControls()[1].field, QStringLiteral("0,01"));
        QTest::keyClicks(t->unitControls()[3].field, QStringLiteral("100"));
        t->EllenBtn->click();
    }
    QCOMPARE(t->engine().drill().AskedCount, 300);
    QCOMPARE(t->engine().drill().GoodCount, 200);
    QCOMPARE(t->engine().drill().BadCount, 100);
    QCOMPARE(t->controls()->Csik->value(), 66);
    QVERIFY(h.script->empty());
}

void BadInputTest::aPastedMegabyte() {
    Harness h("[HosszuRadioButtonok]\nRBNkm=1\n");
    h.script->assign({0, 0, 0, 0, 4});  // 0+1 twice, then 5 km
    h.start();
    h.app->Form1->show();
    h.app->Form1->OsszeBtn->click();
    ArithWindow* a = h.app->OsszeadForm;
    KeyMonkey monkey(99);
    const QString megabyte = monkey.junk(1 << 20);
    QApplication::clipboard()->setText(megabyte);

    QTest::keyClick(a->Annyi, Qt::Key_Insert, Qt::ShiftModifier);
    const std::string digits = kob::answerDigits(megabyte.toStdString(), 5);
    QCOMPARE(a->Annyi->text(), QString::fromStdString(digits));
    QTest::keyClick(a->Annyi, Qt::Key_Return);
    QCOMPARE(a->drill().state().AskedCount, 2);  // judged as the number it holds
    a->controls()->sButton1->click();

    h.app->Form1->MertekBtn->click();
    h.app->MertekForm->Hosszusag->click();
    ConversionWindow* w = h.app->HosszuForm;
    w->Kovetkezo->click();
    QCOMPARE(w->unitControls()[0].field->text(), QStringLiteral("5"));
    QLineEdit* field = w->unitControls()[2].field;
    QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
    const QString held = field->text();
    QVERIFY(!held.isEmpty());
    QVERIFY(kUnitChars.match(held).hasMatch());
    QVERIFY(QString::fromStdString(kob::ConversionEngine::filterText(megabyte.toStdString())).startsWith(held));
    qInfo("the unit field kept %lld characters of the pasted megabyte", qlonglong(held.size()));

    // The conversion log takes typing; a megabyte pasted there must not stop
    // the next check from appending its line at the end.
    kobui::AnswerLog* memo = w->controls()->Memo;
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_Insert, Qt::ShiftModifier);
    w->EllenBtn->click();
    QCOMPARE(w->engine().drill().BadCount, 1);
    QVERIFY(memo->editor() != nullptr);  // the paste turned it into an editor
    QVERIFY(memo->lastLine().endsWith(QStringLiteral(" mm ")));

    QSpinBox* spin = w->unitControls()[0].spin;
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_Insert, Qt::ShiftModifier);
    QVERIFY(spin->value() >= 0 && spin->value() <= 1000);
}

void BadInputTest::junkSettingsFile() {
    std::string nuls("[OsszeTimer]\nIdoScroll=4\0\0005\n", 26);
    nuls += std::string(300, '\0');
    // Whether no line of the junk is one of the program's keys, so that
    // every byte of it must still lead the file after the window's write.
    const struct {
        const char* name;
        std::string bytes;
        bool keptWhole;
    } cases[] = {
        {"binary junk", [] {
             std::mt19937 rng(3);
             std::string s;
             for (int i = 0; i < 65536; ++i) s.push_back(char(rng()));
             return s;
         }(), true},
        {"NUL bytes inside a value and after it", nuls, false},
        {"a 2 MB line", "[OsszeTimer]\nIdoScroll=" + std::string(2 << 20, '7') + "\n", false},
        {"an unterminated section", "[OsszeTimer\nIdoScroll=45\n[OsszeRadioButtonok\nRB4=1", true},
        {"a value beyond the integer range", "[OsszeTimer]\nIdoScroll=99999999999999999999\n", false},
    };
    for (const auto& c : cases) {
        Harness h(c.bytes, true);
        h.script->assign({0, 0, 0, 0});  // 0+1 twice
        h.start();
        QCOMPARE(h.readIni(), c.bytes);  // reading changes nothing
        h.app->Form1->show();
        h.app->Form1->OsszeBtn->click();
        ArithWindow* w = h.app->OsszeadForm;
        QVERIFY2(w->isVisible(), c.name);
        // No number is read from any of them: the limit and the range are
        // the defaults.
        QCOMPARE(int(w->drill().state().TimeLimit), 30);
        QCOMPARE(w->selectedButton(), 0);
        QTest::keyClicks(w->Annyi, QStringLiteral("1"));
        QTest::keyClick(w->Annyi, Qt::Key_Return);
        QCOMPARE(w->drill().state().AskedCount, 2);
        QCOMPARE(w->drill().state().GoodCount, 1);
        w->controls()->sButton1->click();
        h.finishSaves();
        QVERIFY2(h.errors.isEmpty(), c.name);
        // The window's keys are stored and read back; the junk stays.
        const std::string after = h.readIni();
        if (c.keptWhole) QVERIFY2(after.compare(0, c.bytes.size(), c.bytes) == 0, c.name);
        const auto reader = kob::SettingsFile(h.iniPath()).read();
        QCOMPARE(reader.readInt("OsszeTimer", "IdoScroll", 0), 30);
        QCOMPARE(reader.readInt("OsszeRadioButtonok", "RB2", 0), 1);
    }
}

void BadInputTest::settingsPathThatIsNoFile() {
    // A pipe that nobody writes into would hold a blocking open forever, and
    // an endless device would be read until memory runs out.
    const struct {
        const char* name;
        int (*make)(const char* path);
    } cases[] = {
        {"a named pipe", [](const char* p) { return ::mkfifo(p, 0644); }},
        {"a link to /dev/zero", [](const char* p) { return ::symlink("/dev/zero", p); }},
    };
    for (const auto& c : cases) {
        Harness h;
        QVERIFY2(c.make(h.iniPath().c_str()) == 0, c.name);
        h.script->assign({0, 0});  // 0+1
        h.start();
        h.app->Form1->show();
        h.app->Form1->OsszeBtn->click();
        ArithWindow* w = h.app->OsszeadForm;
        QVERIFY2(w->isVisible(), c.name);
        QCOMPARE(int(w->drill().state().TimeLimit), 30);
        QCOMPARE(w->selectedButton(), 0);
        w->controls()->sButton1->click();
        // The write is refused with the program's message; the pipe or the
        // link stays as it was.
        h.finishSaves();
        QCOMPARE(h.errors, QStringList{QStringLiteral("Unable to write to ") + QString::fromStdString(h.iniPath())});
        struct stat st {};
        QVERIFY(::lstat(h.iniPath().c_str(), &st) == 0);
        QVERIFY2(S_ISFIFO(st.st_mode) || S_ISLNK(st.st_mode), c.name);
    }
}

QTEST_MAIN(BadInputTest)
#include "bad_input_qtest.moc"
