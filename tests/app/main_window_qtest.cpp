// The program shell: start, skins, the menu, leaving through the dialog.
#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/main_window.h"
#include "app/skin_manager.h"
#include "support/testkit.h"

using testkit::Harness;

namespace {

// Runs `act` on the next modal dialog once it is the active window. The
// fallback closes it anyway, so a broken dialog can never hang the suite.
void onDialog(std::function<void(QDialog*)> act) {
    QTimer::singleShot(0, [act] {
        QDialog* d = nullptr;
        for (int i = 0; i < 200 && !d; ++i) {
            d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d) QTest::qWait(10);
        }
        if (!d) return;
        QVERIFY(QTest::qWaitForWindowActive(d));
        act(d);
        QTimer::singleShot(2000, d, [d] {
            if (d->isVisible()) d->done(QDialog::Rejected);
        });
    });
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithStoredSkinAndSaysHelloAfterIt();
    void startsInAluminiumWithoutFileAndCreatesItAtExit();
    void unknownSkinIsKeptAndWrittenBack();
    void laysOutTheSevenButtons();
    void menuButtonsOpenTheirWindowsAndClosingComesBack();
    void exitRefusedWritesNothing();
    void exitDialogAnswers_data();
    void exitDialogAnswers();
    void refusedWriteIsReportedAndTheProgramStillEnds();
    void rightClickOpensSkinMenuAndShortcutsWorkEverywhere();
    void skinChosenInAChildWindowSurvivesARestart();
    void leftClickOnMainBackgroundPlaysNothing();
};

void MainWindowTest::startsWithStoredSkinAndSaysHelloAfterIt() {
    Harness h("[Skin]\r\nSkinName=Smoky (internal)\r\n");
    h.start();
    QCOMPARE(h.app->Form1->SkinMen()->skinName(), QStringLiteral("Smoky (internal)"));
    QCOMPARE(h.player.cues, QStringList{QStringLiteral("Hello")});
    // All eleven windows exist, in order, and only the main window is shown
    // once the program shows it.
    const QStringList names = {"Form1", "OsszeadForm", "KivonForm", "SzorzasForm", "OsztasForm", "MertekForm",
                               "AboutForm", "TeruletForm", "HosszuForm", "TerfogatForm", "TomegForm"};
    QStringList got;
    for (KobaltWindow* w : h.app->windows()) {
        got << w->objectName();
        QVERIFY(!w->isVisible());
        QVERIFY(w->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(w->windowFlags() & Qt::WindowMinMaxButtonsHint));
    }
    QCOMPARE(got, names);
    QCOMPARE(h.app->Form1->windowTitle(), QStringLiteral("Kobaltfa"));
}

void MainWindowTest::startsInAluminiumWithoutFileAndCreatesItAtExit() {
    Harness h;
    h.start();
    QCOMPARE(h.app->Form1->SkinMen()->skinName(), QStringLiteral("Aluminium (internal)"));
    QVERIFY(h.readIni().empty());
    QSignalSpy ended(h.app->Form1, &TForm1::programEnded);
    h.app->Form1->show();
    h.app->Form1->KilepBtn->click();
    QCOMPARE(h.exitAsked, 1);
    QCOMPARE(ended.count(), 1);
    QVERIFY(!h.app->Form1->isVisible());
    QCOMPARE(QString::fromStdString(h.readIni()), QStringLiteral("[Skin]\nSkinName=Aluminium (internal)\n"));
    QCOMPARE(h.player.cues.last(), QStringLiteral("YoullRegretThat"));
}

void MainWindowTest::unknownSkinIsKeptAndWrittenBack() {
    Harness h("; my notes\n[Skin]\nSkinName=Pirate (custom)\n[Other]\nx=1\n");
    h.start();
    SkinManager* s = h.app->Form1->SkinMen();
    QCOMPARE(s->skinName(), QStringLiteral("Pirate (custom)"));
    QCOMPARE(s->drawnLook(), QStringLiteral("Aluminium (internal)"));
    h.app->Form1->show();
    h.app->Form1->close();
    QCOMPARE(QString::fromStdString(h.readIni()),
             QStringLiteral("; my notes\n[Skin]\nSkinName=Pirate (custom)\n[Other]\nx=1\n"));
}

void MainWindowTest::laysOutTheSevenButtons() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    QCOMPARE(f->size(), QSize(792, 137));
    struct B {
        QPushButton* b;
        const char* caption;
        QRect rect;
    } buttons[] = {
        {f->OsszeBtn, "Összeadás", {24, 8, 347, 25}},
        {f->KivonBtn, "Kivonás", {424, 8, 347, 25}},
        {f->SzorozBtn, "Szorzás", {24, 40, 347, 25}},
        {f->OsztBtn, "Osztás", {424, 40, 347, 25}},
        {f->MertekBtn, "Mértékegységek váltása", {24, 72, 347, 25}},
        {f->KilepBtn, "Kilépés", {424, 72, 347, 25}},
        {f->AboutBtn, "Segítség a használathoz", {280, 104, 249, 25}},
    };
    for (const B& b : buttons) {
        QCOMPARE(b.b->text(), QString::fromUtf8(b.caption));
        QCOMPARE(b.b->geometry(), b.rect);
        QCOMPARE(b.b->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(b.b->accessibleName(), QString::fromUtf8(b.caption));
    }
    QCOMPARE(f->AboutBtn->font().pixelSize(), 13);
    QCOMPARE(f->OsszeBtn->font().pixelSize(), 16);
    QVERIFY(f->OsszeBtn->font().bold());
    // "Kilépés" stands out in red, whatever the skin.
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    QCOMPARE(f->KilepBtn->palette().color(QPalette::ButtonText), QColor(Qt::red));
    QCOMPARE(f->cursor().shape(), Qt::UpArrowCursor);
}

void MainWindowTest::menuButtonsOpenTheirWindowsAndClosingComesBack() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    const struct {
        QPushButton* button;
        QWidget* target;
    } routes[] = {
        {f->OsszeBtn, (QWidget*)h.app->OsszeadForm},  {f->KivonBtn, (QWidget*)h.app->KivonForm},
        {f->SzorozBtn, (QWidget*)h.app->SzorzasForm}, {f->OsztBtn, (QWidget*)h.app->OsztasForm},
        {f->MertekBtn, (QWidget*)h.app->MertekForm},  {f->AboutBtn, (QWidget*)h.app->AboutForm},
    };
    for (const auto& r : routes) {
        h.player.clear();
        r.button->click();
        QVERIFY(!f->isVisible());
        QVERIFY(r.target->isVisible());
        QCOMPARE(r.target->windowModality(), Qt::ApplicationModal);
        r.target->close();  // the close box
        QVERIFY(!r.target->isVisible());
        QVERIFY(f->isVisible());
        QVERIFY(h.player.cues.contains(QStringLiteral("ByeBye")));
        QCOMPARE(h.player.cues.last(), QStringLiteral("ByeBye"));
    }
}

void MainWindowTest::exitRefusedWritesNothing() {
    Harness h("[Skin]\nSkinName=WEB (internal)\n");
    h.start();
    h.exitAnswer = 0;
    TForm1* f = h.app->Form1;
    f->show();
    QSignalSpy ended(f, &TForm1::programEnded);
    f->SkinMen()->setSkinName(QStringLiteral("Smoky (internal)"));
    f->close();
    QCOMPARE(h.exitAsked, 1);
    QVERIFY(f->isVisible());
    QCOMPARE(ended.count(), 0);
    QCOMPARE(QString::fromStdString(h.readIni()), QStringLiteral("[Skin]\nSkinName=WEB (internal)\n"));
    QCOMPARE(h.player.cues.last(), QStringLiteral("YoullRegretThat"));
}

void MainWindowTest::exitDialogAnswers_data() {
    QTest::addColumn<int>("how");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("Enter means Igen") << 0 << true;
    QTest::newRow("Escape means Nem") << 1 << false;
    QTest::newRow("close box leaves the close allowed") << 2 << true;
    QTest::newRow("Nem button") << 3 << false;
    QTest::newRow("Alt+N") << 4 << false;
}

void MainWindowTest::exitDialogAnswers() {
    QFETCH(int, how);
    QFETCH(bool, allowed);
    Harness h;
    h.start();
    QString message, title, yes, no;
    onDialog([&](QDialog* d) {
        title = d->windowTitle();
        message = d->findChild<QLabel*>(QStringLiteral("Message"))->text();
        yes = d->findChild<QPushButton*>(QStringLiteral("Igen"))->text();
        no = d->findChild<QPushButton*>(QStringLiteral("Nem"))->text();
        switch (how) {
        case 0: QTest::keyClick(d, Qt::Key_Return); break;
        case 1: QTest::keyClick(d, Qt::Key_Escape); break;
        case 2: d->close(); break;
        case 3: d->findChild<QPushButton*>(QStringLiteral("Nem"))->click(); break;
        case 4: QTest::keyClick(d, Qt::Key_N, Qt::AltModifier); break;
        }
    });
    const bool got = TForm1::askExit(h.app->Form1);
    QCOMPARE(got, allowed);
    QCOMPARE(title, QStringLiteral("Megerősítés"));
    QCOMPARE(message, QStringLiteral(" Egész biztosan kilépsz ? "));
    QCOMPARE(yes, QStringLiteral("&Igen"));
    QCOMPARE(no, QStringLiteral("&Nem"));
}

void MainWindowTest::refusedWriteIsReportedAndTheProgramStillEnds() {
    Harness h;
    // A directory where the file should be: no write can succeed.
    QVERIFY(QDir().mkpath(QString::fromStdString(h.iniPath())));
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    QSignalSpy ended(f, &TForm1::programEnded);
    f->close();
    QCOMPARE(h.errors, QStringList{QStringLiteral("Unable to write to ") + QString::fromStdString(h.iniPath())});
    QCOMPARE(ended.count(), 1);
    QVERIFY(QFileInfo(QString::fromStdString(h.iniPath())).isDir());
}

void MainWindowTest::rightClickOpensSkinMenuAndShortcutsWorkEverywhere() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    QMenu* menu = f->PopupMenu1();
    QStringList captions, shortcuts;
    for (QAction* a : menu->actions()) {
        captions << a->text();
        shortcuts << a->shortcut().toString(QKeySequence::PortableText);
    }
    QCOMPARE(captions, (QStringList{"Aluminium Skin", "Smoky Skin", "Beijing Skin", "Vista Skin", "Web Skin",
                                    "Elegant Skin"}));
    QCOMPARE(shortcuts, (QStringList{"Ctrl+A", "Ctrl+S", "Ctrl+B", "Ctrl+V", "Ctrl+W", "Ctrl+E"}));

    f->show();
    QVERIFY(QTest::qWaitForWindowActive(f));
    // A right click on a button opens the skin menu.
    QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(5, 5), f->OsszeBtn->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(f->OsszeBtn, &ev);
    QTRY_VERIFY(menu->isVisible());
    menu->hide();

    QTest::keyClick(f, Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(f->SkinMen()->skinName(), QStringLiteral("Elegant (internal)"));
    const QStringList before = h.player.cues;

    // In the help window, with the main window hidden.
    f->AboutBtn->click();
    QWidget* about = h.app->windows().at(6);
    QVERIFY(QTest::qWaitForWindowActive(about));
    QTest::keyClick(about, Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(f->SkinMen()->skinName(), QStringLiteral("WEB (internal)"));
    about->close();
    // Choosing a skin plays nothing.
    QVERIFY(!h.player.cues.mid(before.size()).contains(QStringLiteral("Hello")));
}

void MainWindowTest::skinChosenInAChildWindowSurvivesARestart() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    f->KivonBtn->click();
    QWidget* kivon = h.app->windows().at(2);
    QVERIFY(QTest::qWaitForWindowActive(kivon));
    // From a focused text field: Ctrl+S picks the skin, and Ctrl+V pastes nothing.
    QLineEdit* field = kivon->findChild<QLineEdit*>(QStringLiteral("Annyi"));
    QVERIFY2(field, "the subtraction window has its answer field");
    field->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("77"));
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f->SkinMen()->skinName(), QStringLiteral("Vista (internal)"));
    QCOMPARE(field->text(), QString());
    QTest::keyClicks(field, QStringLiteral("12"));
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(f->SkinMen()->skinName(), QStringLiteral("Aluminium (internal)"));
    QVERIFY(!field->hasSelectedText());
    QTest::keyClick(field, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(f->SkinMen()->skinName(), QStringLiteral("Smoky (internal)"));
    kivon->close();
    f->close();
    h.app.reset();

    h.player.clear();
    h.start();
    QCOMPARE(h.app->Form1->SkinMen()->skinName(), QStringLiteral("Smoky (internal)"));
}

void MainWindowTest::leftClickOnMainBackgroundPlaysNothing() {
    Harness h;
    h.start();
    TForm1* f = h.app->Form1;
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    h.player.clear();
    QTest::mouseClick(f, Qt::LeftButton, {}, QPoint(5, 130));
    QVERIFY(h.player.cues.isEmpty());
}

QTEST_MAIN(MainWindowTest)
#include "main_window_qtest.moc"
