// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What a screen reader or an automation tool sees of the eleven windows:
// how the windows present themselves, a name on every control, labels that
// show a changing value (operands, counters, the time limit) named for what
// they show with the value readable as their text, and names that tell the
// controls of one window apart.
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QDialog>
#include <QtTest>

#include "app/about_form.h"
#include "app/main_window.h"
#include "arith/arith_window.h"
#include "arith/arith_windows.h"
#include "drill/drill_controls.h"
#include "drill/drill_ui.h"
#include "measure/conversion_window.h"
#include "measure/conversion_windows.h"
#include "measure/mertek_form.h"
#include "support/testkit.h"

using testkit::Harness;

namespace {

QString where(const QWidget* w) {
    return w->window()->objectName() + "/" + (w->objectName().isEmpty() ? w->metaObject()->className()
                                                                          : w->objectName());
}

// The controls of a window as an assistive technology meets them. The
// pieces of a composite control (a spin box's own line edit, a text box's
// scroll bars and viewport) are presented by the control itself.
QList<QWidget*> controlsOf(QWidget* window) {
    QList<QWidget*> out;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow()) continue;  // the pop-up menus
        bool inner = false;
        for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
            if (qobject_cast<QAbstractSpinBox*>(p) || qobject_cast<QAbstractScrollArea*>(p)) inner = true;
        if (!inner) out << w;
    }
    return out;
}

bool isControl(QWidget* w) {
    return qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
           qobject_cast<QAbstractSlider*>(w) || qobject_cast<QProgressBar*>(w) || qobject_cast<QAbstractScrollArea*>(w) ||
           qobject_cast<QGroupBox*>(w) || qobject_cast<QLabel*>(w);
}

QString accessibleName(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name).trimmed() : QString();
}

// Adds every control of the window that an assistive technology could not
// name to `unnamed`; returns how many controls it looked at.
int auditNames(QWidget* window, QStringList& unnamed) {
    int checked = 0;
    for (QWidget* w : controlsOf(window)) {
        if (!isControl(w)) continue;
        ++checked;
        if (accessibleName(w).isEmpty()) unnamed << where(w);
        // A field, a box or a bar shows no caption: its name must say what
        // it is for, not echo what it holds.
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QAbstractSlider*>(w) ||
            qobject_cast<QProgressBar*>(w) || qobject_cast<QAbstractScrollArea*>(w)) {
            if (w->accessibleName().trimmed().isEmpty()) unnamed << where(w) + " (no name of its own)";
        }
        // A label showing a picture has no text to read.
        if (auto* l = qobject_cast<QLabel*>(w);
            l && l->text().isEmpty() && !l->pixmap().isNull() && l->accessibleName().isEmpty())
            unnamed << where(w) + " (a picture)";
    }
    return checked;
}

QMap<QLabel*, QString> labelTexts(QWidget* window) {
    QMap<QLabel*, QString> out;
    for (QLabel* l : window->findChildren<QLabel*>()) out.insert(l, l->text());
    return out;
}

void fillScript(Harness& h) {
    // Varied draws, so that the operands of consecutive questions differ.
    h.script->clear();
    for (int i = 0; i < 200; ++i) h.script->push_back((i * 7 + 3) % 11);
}

QList<QLabel*> changedSince(const QMap<QLabel*, QString>& before) {
    QList<QLabel*> changed;
    for (auto it = before.begin(); it != before.end(); ++it)
        if (it.key()->text() != it.value()) changed << it.key();
    return changed;
}

// One short drill run, as a pupil does it: a late right answer, a wrong one
// in another range or table, a longer time limit. Returns the labels whose
// text the run changed.
QList<QLabel*> playArith(Harness& h, ArithWindow* w, QPushButton* opener) {
    fillScript(h);
    h.app->Form1->show();
    opener->click();
    const auto before = labelTexts(w);
    for (int i = 0; i < 40; ++i) w->ElteltIdoTimer();
    QTest::keyClicks(w->Annyi, QString::number(w->drill().state().ExpectedAnswer));
    QTest::keyClick(w->Annyi, Qt::Key_Return);
    w->RB[1]->click();
    QTest::keyClicks(w->Annyi, QString::number(w->drill().state().ExpectedAnswer + 1));
    QTest::keyClick(w->Annyi, Qt::Key_Return);
    w->controls()->IdoScroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    return changedSince(before);
}

// The same in a conversion window: a late task with only the given unit
// switched on (right), then one with every field left empty (wrong).
QList<QLabel*> playConversion(Harness& h, ConversionWindow* w, QPushButton* opener) {
    fillScript(h);
    h.app->Form1->show();
    h.app->Form1->MertekBtn->click();
    opener->click();
    const auto before = labelTexts(w);
    const auto& rows = w->unitControls();
    rows[1].choice->click();
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i].toggle->setChecked(i == 1);
    w->Kovetkezo->click();
    for (int i = 0; i < 40; ++i) w->ElteltIdoTimer();
    w->EllenBtn->click();
    for (const auto& r : rows) r.toggle->setChecked(true);
    w->Kovetkezo->click();
    rows[1].field->clear();
    w->EllenBtn->click();
    w->controls()->IdoScroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    return changedSince(before);
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void windowsPresentThemselvesByTheirTitles();
    void everyControlOfEveryWindowHasAName();
    void changingLabelsSayWhatTheyShowAndGiveTheValueAsText();
    void controlsOfOneWindowHaveDistinctNames();
    void theExitQuestionIsNamedToo();
    void theExitButtonsTellTheirKeys();
};

void AccessibilityTest::windowsPresentThemselvesByTheirTitles() {
    Harness h;
    h.start();
    for (KobaltWindow* w : h.app->windows()) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        QVERIFY(a);
        QCOMPARE(a->text(QAccessible::Name), w->windowTitle());
        // The main window is the program's frame, every other window a
        // dialog of it, not an anonymous panel.
        QCOMPARE(a->role(), w == h.app->Form1 ? QAccessible::Window : QAccessible::Dialog);
    }
}

void AccessibilityTest::everyControlOfEveryWindowHasAName() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    // Every window once opened, so that what activation fills in is there.
    playArith(h, h.app->OsszeadForm, f->OsszeBtn);
    playArith(h, h.app->KivonForm, f->KivonBtn);
    playArith(h, h.app->SzorzasForm, f->SzorozBtn);
    playArith(h, h.app->OsztasForm, f->OsztBtn);
    playConversion(h, h.app->TeruletForm, h.app->MertekForm->TeruletBtn);
    playConversion(h, h.app->HosszuForm, h.app->MertekForm->Hosszusag);
    playConversion(h, h.app->TerfogatForm, h.app->MertekForm->TerfogatBtn);
    playConversion(h, h.app->TomegForm, h.app->MertekForm->TomegBtn);
    f->show();
    f->AboutBtn->click();

    int checked = 0;
    QStringList unnamed;
    for (KobaltWindow* window : h.app->windows()) {
        window->ensureBuilt();  // as the window is when it is shown
        checked += auditNames(window, unnamed);
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    QVERIFY(checked > 200);  // all eleven windows were walked
}

void AccessibilityTest::changingLabelsSayWhatTheyShowAndGiveTheValueAsText() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    QList<QList<QLabel*>> rounds = {
        playArith(h, h.app->OsszeadForm, f->OsszeBtn),
        playArith(h, h.app->KivonForm, f->KivonBtn),
        playArith(h, h.app->SzorzasForm, f->SzorozBtn),
        playArith(h, h.app->OsztasForm, f->OsztBtn),
        playConversion(h, h.app->HosszuForm, h.app->MertekForm->Hosszusag),
        playConversion(h, h.app->TomegForm, h.app->MertekForm->TomegBtn),
    };
    for (const QList<QLabel*>& changed : rounds) {
        // At least the four counters and the time limit moved.
        QVERIFY2(changed.size() >= 5, qPrintable(changed.isEmpty() ? QString() : where(changed.first())));
        for (QLabel* l : changed) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(l);
            QVERIFY(a);
            const QString name = a->text(QAccessible::Name);
            QVERIFY2(!name.trimmed().isEmpty(), qPrintable(where(l)));
            QVERIFY2(name != l->text(), qPrintable(where(l) + " is named by its value " + name));
            QCOMPARE(a->role(), QAccessible::StaticText);
            QAccessibleTextInterface* t = a->textInterface();
            QVERIFY2(t, qPrintable(where(l) + " gives no text"));
            QCOMPARE(t->characterCount(), int(l->text().size()));
            QCOMPARE(t->text(0, t->characterCount()), l->text());
            QCOMPARE(t->text(1, 2), l->text().mid(1, 1));
            QVERIFY(t->text(2, 1).isEmpty());
            QCOMPARE(t->selectionCount(), 0);
        }
    }
    // The value follows the label as it changes.
    ArithWindow* add = h.app->OsszeadForm;
    f->show();
    f->OsszeBtn->click();
    QAccessibleTextInterface* first = QAccessible::queryAccessibleInterface(add->Hanyszor)->textInterface();
    QVERIFY(first);
    add->Hanyszor->setText(QStringLiteral("4321"));
    QCOMPARE(first->text(0, first->characterCount()), QStringLiteral("4321"));
}

void AccessibilityTest::controlsOfOneWindowHaveDistinctNames() {
    Harness h;
    h.start();
    h.app->Form1->show();
    h.app->Form1->AboutBtn->click();
    for (KobaltWindow* window : h.app->windows()) {
        window->ensureBuilt();
        QHash<QString, QString> seen;  // name -> the control that has it
        for (QWidget* w : controlsOf(window)) {
            if (w->focusPolicy() == Qt::NoFocus) continue;  // only what the keyboard reaches
            const QString name = accessibleName(w);
            QVERIFY2(!seen.contains(name),
                     qPrintable(QStringLiteral("%1 and %2 are both called \"%3\"").arg(seen.value(name), where(w), name)));
            seen.insert(name, where(w));
        }
        QVERIFY2(seen.size() >= 2, qPrintable(window->objectName()));
    }
}

void AccessibilityTest::theExitQuestionIsNamedToo() {
    Harness h;
    h.start();
    h.app->Form1->show();
    QStringList unnamed;
    int checked = 0;
    bool seen = false;
    testkit::onDialog([&](QDialog* d) {
        seen = true;
        checked = auditNames(d, unnamed);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(d);
        if (a->role() != QAccessible::Dialog || a->text(QAccessible::Name) != QStringLiteral("Megerősítés"))
            unnamed << QStringLiteral("the dialog itself");
        QTest::keyClick(d, Qt::Key_Escape);
    });
    QVERIFY(!TForm1::askExit(h.app->Form1));  // Escape answered "&Nem"
    QVERIFY(seen);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    QCOMPARE(checked, 4);  // the picture, the question and the two buttons
}

// A screen reader hears what presses each button of the exit question: its
// accelerator letter alone (the focus is always on a button there) and with
// Alt.
void AccessibilityTest::theExitButtonsTellTheirKeys() {
    Harness h;
    h.start();
    h.app->Form1->show();
    QMap<QString, QStringList> keys;
    testkit::onDialog([&](QDialog* d) {
        for (const char* name : {"Igen", "Nem"}) {
            auto* b = d->findChild<QPushButton*>(QString::fromLatin1(name));
            QAccessibleInterface* a = b ? QAccessible::queryAccessibleInterface(b) : nullptr;
            QAccessibleActionInterface* act = a ? a->actionInterface() : nullptr;
            if (act) keys[QString::fromLatin1(name)] = act->keyBindingsForAction(QAccessibleActionInterface::pressAction());
            // The rest as for any push button: the default button's key, a
            // press action a reader can trigger.
            if (a) keys[QString::fromLatin1(name)] << a->text(QAccessible::Accelerator);
            if (act && !act->actionNames().contains(QAccessibleActionInterface::pressAction()))
                keys[QString::fromLatin1(name)] << QStringLiteral("(no press action)");
        }
        QTest::keyClick(d, Qt::Key_Escape);
    });
    QVERIFY(!TForm1::askExit(h.app->Form1));
    QCOMPARE(keys.value(QStringLiteral("Igen")), (QStringList{"I", "Alt+I", "Enter"}));
    QCOMPARE(keys.value(QStringLiteral("Nem")), (QStringList{"N", "Alt+N", "Alt+N"}));
}

QTEST_MAIN(AccessibilityTest)
#include "accessibility_qtest.moc"
