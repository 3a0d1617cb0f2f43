// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// In-process measurements of the whole program (built by the test kit with
// a recording cue player and a private settings file), under a real X
// display:
//
//   bench_app response N   Enter in the addition window to the next question
//                          painted; "Ellenőrzés" in the length window to the
//                          recoloured fields painted (N each)
//   bench_app open N       a drill window opened from its button to painted:
//                          the first opening of each, then N more each
//   bench_app idle S       CPU and wakeups over S seconds with the main
//                          window shown, every drill window opened once
//   bench_app skin N       a skin switch: every window restyled, the shown
//                          one repainted (N rounds over the six skins)
//   bench_app make-bigini PATH MB
//                          writes a settings file of about MB megabytes
//                          (11-byte lines: about 9 million for 100 MB),
//                          the program's sections spread through it, one
//                          of them holding a tenth of all lines
//   bench_app bigini PATH  the whole program on that file: built and the
//                          main window painted, the addition window opened
//                          (it reads the file) and closed (it writes it),
//                          the length window closed; the peak resident size
//   bench_app soak A C [clear-logs]
//                          A answers in each arithmetic window and C tasks
//                          in each conversion window; memory before and
//                          after, and after emptying the logs (clear-logs:
//                          the logs emptied every few hundred lines)
//
// Prints key=value lines.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QtTest>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/skin_manager.h"
#include "arith/arith_window.h"
#include "arith/arith_windows.h"
#include "drill/answer_log.h"
#include "drill/drill_controls.h"
#include "drill/drill_ui.h"
#include "measure/conversion_window.h"
#include "measure/conversion_windows.h"
#include "measure/mertek_form.h"
#include "settings/settings_file.h"
#include "app/settings_layout.h"
#include "support/testkit.h"
#include "bench/process_probe.h"

namespace {

double nowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double median(std::vector<double> v) {
    if (v.empty()) return NAN;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return NAN;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5))];
}

// Counts the paint events of the widgets of one window.
class PaintCounter : public QObject {
public:
    QWidget* window = nullptr;
    int paints = 0;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && o->isWidgetType() && static_cast<QWidget*>(o)->window() == window) ++paints;
        return false;
    }
};

PaintCounter* counter() {
    static PaintCounter* c = [] {
        auto* p = new PaintCounter;
        qApp->installEventFilter(p);
        return p;
    }();
    return c;
}

// Starts counting the paint events of `w`'s widgets.
void watchPaints(QWidget* w) {
    counter()->window = w;
    counter()->paints = 0;
}

// Runs the event loop until `w` has been repainted and the pixels are with
// the X server, and then no further paint follows for `quietMs`. Returns
// the time of the end of the last repaint, or NAN when none came. Paints
// since watchPaints(w) count (some test events run the loop themselves).
double untilPainted(QWidget* w, double quietMs = 10, double timeoutMs = 1000) {
    PaintCounter* pc = counter();
    if (pc->window != w) watchPaints(w);
    double last = NAN;
    if (pc->paints > 0) {
        benchprobe::syncDisplay();
        last = nowMs();
    }
    const double start = nowMs();
    for (;;) {
        const int before = pc->paints;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        const double t = nowMs();
        if (pc->paints > before) {
            benchprobe::syncDisplay();
            last = nowMs();
        } else if (!std::isnan(last) && t - last > quietMs) {
            break;
        } else if (std::isnan(last) && t - start > timeoutMs) {
            break;
        }
    }
    pc->window = nullptr;
    pc->paints = 0;
    return last;
}

void settle(QWidget* w) {
    if (!QTest::qWaitForWindowExposed(w)) std::fprintf(stderr, "window not exposed\n");
    untilPainted(w, 30, 300);
}

// Keeps the scripted random numbers flowing so every question differs.
void feed(testkit::Harness& h, std::mt19937& rng) {
    if (h.script->size() > 1000) return;
    for (int i = 0; i < 20000; ++i) h.script->push_back(int(rng() % 100000));
}

ArithWindow* arith(testkit::Harness& h, int i) {
    ArithWindow* w[] = {h.app->OsszeadForm, h.app->KivonForm, h.app->SzorzasForm, h.app->OsztasForm};
    return w[i];
}
QPushButton* arithButton(testkit::Harness& h, int i) {
    QPushButton* b[] = {h.app->Form1->OsszeBtn, h.app->Form1->KivonBtn, h.app->Form1->SzorozBtn,
                        h.app->Form1->OsztBtn};
    return b[i];
}
ConversionWindow* conversion(testkit::Harness& h, int i) {
    ConversionWindow* w[] = {h.app->TeruletForm, h.app->HosszuForm, h.app->TerfogatForm, h.app->TomegForm};
    return w[i];
}
QPushButton* conversionButton(testkit::Harness& h, int i) {
    QPushButton* b[] = {h.app->MertekForm->TeruletBtn, h.app->MertekForm->Hosszusag, h.app->MertekForm->TerfogatBtn,
                        h.app->MertekForm->TomegBtn};
    return b[i];
}

void startShown(testkit::Harness& h) {
    h.start();
    h.app->Form1->show();
    settle(h.app->Form1);
}

// Opens a conversion window the pupil's way: main menu, chooser, window.
ConversionWindow* openConversion(testkit::Harness& h, int i) {
    h.app->Form1->MertekBtn->click();
    settle(h.app->MertekForm);
    conversionButton(h, i)->click();
    ConversionWindow* w = conversion(h, i);
    settle(w);
    return w;
}

void closeConversion(testkit::Harness& h, ConversionWindow* w) {
    w->close();
    settle(h.app->MertekForm);
    h.app->MertekForm->close();
    settle(h.app->Form1);
}

// A given unit and a fresh task; the fields filled with the right answer
// (every `wrongEvery`-th task one field wrong).
void poseAndFill(ConversionWindow* w, int task, int wrongEvery) {
    const auto& rows = w->unitControls();
    if (!rows[1].choice->isChecked()) rows[1].choice->click();
    w->Kovetkezo->click();
    const auto& expected = w->engine().state().ExpectedValues;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (!rows[r].toggle->isChecked()) continue;
        QString text = QString::fromStdString(expected[r].toString());
        if (wrongEvery > 0 && task % wrongEvery == 0 && r == 0) text += QLatin1Char('1');
        rows[r].field->setText(text);
    }
}

int response(int n) {
    std::mt19937 rng(7);
    testkit::Harness h;
    feed(h, rng);
    startShown(h);

    // Addition, opened from the menu.
    arithButton(h, 0)->click();
    ArithWindow* add = arith(h, 0);
    settle(add);
    std::vector<double> arithMs, arithJudgeMs;
    for (int i = 0; i < n + 3; ++i) {
        feed(h, rng);
        QTest::keyClicks(add->Annyi, QString::number(add->drill().state().ExpectedAnswer));
        untilPainted(add, 5, 50);
        watchPaints(add);
        const double t0 = nowMs();
        QTest::keyClick(add->Annyi, Qt::Key_Return);
        const double judged = nowMs();
        const double t1 = untilPainted(add);
        if (i < 3) continue;  // warm-up
        arithMs.push_back(t1 - t0);
        arithJudgeMs.push_back(judged - t0);
    }
    add->close();
    settle(h.app->Form1);

    // Length conversion: the check of a filled-in task.
    ConversionWindow* len = openConversion(h, 1);
    std::vector<double> convMs;
    for (int i = 0; i < n + 3; ++i) {
        feed(h, rng);
        poseAndFill(len, i, 3);
        untilPainted(len, 5, 50);
        watchPaints(len);
        const double t0 = nowMs();
        QTest::mouseClick(len->EllenBtn, Qt::LeftButton);
        const double t1 = untilPainted(len);
        if (i < 3) continue;
        convMs.push_back(t1 - t0);
    }
    closeConversion(h, len);

    // The reference: the same two steps in a bare Qt window, a question of
    // two labels answered in a line edit, and five line edits recoloured by
    // a button through their palettes.
    QWidget bare;
    bare.setWindowTitle(QStringLiteral("Bare"));
    bare.resize(665, 426);
    auto* left = new QLabel(QStringLiteral("12"), &bare);
    auto* right = new QLabel(QStringLiteral("34"), &bare);
    auto* edit = new QLineEdit(&bare);
    left->setGeometry(20, 20, 100, 60);
    right->setGeometry(140, 20, 100, 60);
    edit->setGeometry(260, 20, 160, 60);
    QFont big = edit->font();
    big.setPixelSize(48);
    for (QWidget* x : {(QWidget*)left, (QWidget*)right, (QWidget*)edit}) x->setFont(big);
    QObject::connect(edit, &QLineEdit::returnPressed, [&] {
        left->setText(QString::number(rng() % 100));
        right->setText(QString::number(rng() % 100));
        edit->clear();
    });
    std::vector<QLineEdit*> fields;
    for (int i = 0; i < 5; ++i) {
        auto* f = new QLineEdit(&bare);
        f->setGeometry(20, 100 + 40 * i, 200, 32);
        fields.push_back(f);
    }
    auto* check = new QPushButton(QStringLiteral("Check"), &bare);
    check->setGeometry(260, 100, 200, 25);
    int round = 0;
    QObject::connect(check, &QPushButton::clicked, [&] {
        ++round;
        for (QLineEdit* f : fields) {
            QPalette p = f->palette();
            p.setColor(QPalette::Base, round % 2 ? QColor(0, 128, 0) : QColor(255, 0, 0));
            f->setPalette(p);
            f->setReadOnly(round % 2);
        }
    });
    bare.show();
    settle(&bare);
    std::vector<double> bareMs, bareCheckMs;
    for (int i = 0; i < n + 3; ++i) {
        QTest::keyClicks(edit, QString::number(rng() % 200));
        untilPainted(&bare, 5, 50);
        watchPaints(&bare);
        double t0 = nowMs();
        QTest::keyClick(edit, Qt::Key_Return);
        double t1 = untilPainted(&bare);
        if (i >= 3) bareMs.push_back(t1 - t0);
        for (QLineEdit* f : fields) f->setText(QString::number(rng() % 1000));
        untilPainted(&bare, 5, 50);
        watchPaints(&bare);
        t0 = nowMs();
        QTest::mouseClick(check, Qt::LeftButton);
        t1 = untilPainted(&bare);
        if (i >= 3) bareCheckMs.push_back(t1 - t0);
    }

    std::printf("arith_ms=%.3f arith_p90_ms=%.3f arith_handler_ms=%.3f conv_ms=%.3f conv_p90_ms=%.3f bare_ms=%.3f "
                "bare_check_ms=%.3f n=%d\n",
                median(arithMs), percentile(arithMs, 0.9), median(arithJudgeMs), median(convMs),
                percentile(convMs, 0.9), median(bareMs), median(bareCheckMs), n);
    return 0;
}

// Opens drill window i (0-3 arithmetic, 4-7 conversion) from its button,
// as the pupil does, and closes it again; returns the milliseconds from the
// click to the window painted.
double openAndClose(testkit::Harness& h, int i) {
    const bool arithmetic = i < 4;
    if (!arithmetic) {
        h.app->Form1->MertekBtn->click();
        settle(h.app->MertekForm);
    }
    KobaltWindow* w = arithmetic ? static_cast<KobaltWindow*>(arith(h, i)) : conversion(h, i - 4);
    QPushButton* button = arithmetic ? arithButton(h, i) : conversionButton(h, i - 4);
    watchPaints(w);
    const double t0 = nowMs();
    button->click();
    const double t1 = untilPainted(w);
    if (arithmetic) {
        w->close();
        settle(h.app->Form1);
    } else {
        closeConversion(h, static_cast<ConversionWindow*>(w));
    }
    return t1 - t0;
}

// A drill window opened from its button (the main menu's, or the chooser's
// for a conversion window) until painted: the first opening of each of the
// eight windows, which builds its controls, and `n` later openings each.
int open(int n) {
    std::mt19937 rng(5);
    testkit::Harness h;
    feed(h, rng);
    startShown(h);
    std::vector<double> first, again;
    for (int round = 0; round <= n; ++round) {
        for (int i = 0; i < 8; ++i) {
            (round == 0 ? first : again).push_back(openAndClose(h, i));
            feed(h, rng);
        }
    }
    std::printf("first_open_ms=%.3f first_open_max_ms=%.3f reopen_ms=%.3f\n", median(first),
                *std::max_element(first.begin(), first.end()), median(again));
    return 0;
}

// CPU and wakeups of the program left alone with the main window shown,
// after every drill window has been opened and closed once, so that their
// clocks tick on while they are hidden.
int idle(int seconds) {
    std::mt19937 rng(9);
    testkit::Harness h;
    feed(h, rng);
    startShown(h);
    for (int i = 0; i < 8; ++i) {
        openAndClose(h, i);
        feed(h, rng);
    }
    QTest::qWait(1000);  // let the opening work die down
    using benchprobe::cpuMs;
    auto switches = benchprobe::contextSwitches;
    const double c0 = cpuMs(), s0 = switches(), t0 = nowMs();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double secs = (nowMs() - t0) / 1000;
    std::printf("idle_opened_cpu_pct=%.3f idle_opened_wakeups_per_s=%.1f\n", (cpuMs() - c0) / 10 / secs,
                (switches() - s0) / secs);
    return 0;
}

int skin(int rounds) {
    testkit::Harness h;
    startShown(h);
    const QStringList names = SkinManager::builtInNames();
    const QList<KobaltWindow*> windows = h.app->windows();
    // The worst case: every window has been opened once, so every window
    // has all its controls to restyle.
    for (KobaltWindow* w : windows) w->ensureBuilt();
    std::vector<std::vector<double>> restyle(names.size()), render(names.size());
    for (int r = 0; r < rounds + 1; ++r) {
        for (int s = 0; s < names.size(); ++s) {
            // Restyled: the sheet applied, every window and control polished
            // and laid out, the shown main window repainted.
            const double t0 = nowMs();
            h.app->Form1->SkinMen()->setSkinName(names[s]);
            for (KobaltWindow* w : windows) {
                w->ensurePolished();
                for (QWidget* c : w->findChildren<QWidget*>()) c->ensurePolished();
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            for (KobaltWindow* w : windows)
                if (w->layout()) w->layout()->activate();
            double t1 = untilPainted(h.app->Form1);
            if (std::isnan(t1)) t1 = nowMs();
            // Rendered: additionally every window drawn off screen, as the
            // first showing of each would.
            const double t2 = nowMs();
            for (KobaltWindow* w : windows) (void)w->grab();
            const double t3 = nowMs();
            if (r == 0) continue;  // first round: sheets read and cached
            restyle[s].push_back(t1 - t0);
            render[s].push_back(t1 - t0 + t3 - t2);
        }
    }
    std::vector<double> perSkin, perSkinRender;
    std::string detail;
    for (int s = 0; s < names.size(); ++s) {
        perSkin.push_back(median(restyle[s]));
        perSkinRender.push_back(median(render[s]));
        char buf[96];
        std::snprintf(buf, sizeof buf, " skin%d_ms=%.2f", s, perSkin.back());
        detail += buf;
    }
    std::printf("skin_ms=%.3f skin_max_ms=%.3f skin_render_ms=%.3f%s\n", median(perSkin),
                *std::max_element(perSkin.begin(), perSkin.end()), median(perSkinRender), detail.c_str());
    return 0;
}

qint64 logsText(testkit::Harness& h, int* lines = nullptr) {
    qint64 total = 0;
    if (lines) *lines = 0;
    for (int i = 0; i < 4; ++i) {
        if (lines)
            *lines += arith(h, i)->controls()->Memo->lineCount() + conversion(h, i)->controls()->Memo->lineCount();
        total += arith(h, i)->controls()->Memo->toPlainText().toUtf8().size();
        total += conversion(h, i)->controls()->Memo->toPlainText().toUtf8().size();
    }
    return total;
}

int soak(int answers, int tasks, bool clearLogs) {
    std::mt19937 rng(11);
    testkit::Harness h;
    feed(h, rng);
    startShown(h);

    auto runArith = [&](int i, int count) {
        arithButton(h, i)->click();
        ArithWindow* w = arith(h, i);
        settle(w);
        for (int k = 0; k < count; ++k) {
            feed(h, rng);
            int a = w->drill().state().ExpectedAnswer;
            if (k % 5 == 4) a += 1;  // every fifth answer wrong
            QTest::keyClicks(w->Annyi, QString::number(a));
            QTest::keyClick(w->Annyi, Qt::Key_Return);
            if (k % 50 == 0) {
                QCoreApplication::processEvents();
                h.player.clear();  // the recording player's own list is not the program's
            }
            if (clearLogs && k % 500 == 499) w->controls()->Memo->clear();
        }
        QCoreApplication::processEvents();
        w->close();
        settle(h.app->Form1);
        h.player.clear();
    };
    auto runConversion = [&](int i, int count) {
        ConversionWindow* w = openConversion(h, i);
        for (int k = 0; k < count; ++k) {
            feed(h, rng);
            poseAndFill(w, k, 4);
            w->EllenBtn->click();
            if (k % 20 == 0) {
                QCoreApplication::processEvents();
                h.player.clear();
            }
            if (clearLogs && k % 100 == 99) w->controls()->Memo->clear();
        }
        QCoreApplication::processEvents();
        closeConversion(h, w);
        h.player.clear();
    };

    // A first round fills the caches (fonts, glyphs, style, pictures).
    for (int i = 0; i < 4; ++i) runArith(i, 200);
    for (int i = 0; i < 4; ++i) runConversion(i, 50);
    benchprobe::releaseFreeMemory();
    const benchprobe::Memory before = benchprobe::memory();
    const qint64 textBefore = logsText(h);
    const double t0 = nowMs();

    for (int i = 0; i < 4; ++i) runArith(i, answers);
    for (int i = 0; i < 4; ++i) runConversion(i, tasks);
    const double t1 = nowMs();
    benchprobe::releaseFreeMemory();
    const benchprobe::Memory after = benchprobe::memory();
    int lines = 0;
    const qint64 textAfter = logsText(h, &lines);
    // With the logs emptied, whatever is left of the growth is not theirs.
    for (int i = 0; i < 4; ++i) {
        arith(h, i)->controls()->Memo->clear();
        conversion(h, i)->controls()->Memo->clear();
    }
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    benchprobe::releaseFreeMemory();
    const benchprobe::Memory cleared = benchprobe::memory();

    std::printf("rss_before_kb=%ld rss_after_kb=%ld rss_cleared_kb=%ld pss_before_kb=%ld pss_after_kb=%ld "
                "heap_before_kb=%ld heap_after_kb=%ld heap_cleared_kb=%ld logs_before_bytes=%lld "
                "logs_after_bytes=%lld log_lines=%d soak_s=%.1f answers=%d tasks=%d\n",
                before.rss, after.rss, cleared.rss, before.pss, after.pss, before.heap, after.heap, cleared.heap,
                (long long)textBefore, (long long)textAfter, lines, (t1 - t0) / 1000, answers * 4, tasks * 4);
    return 0;
}


int makeBigIni(const std::string& path, double megabytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 1;
    static char buf[1 << 20];
    std::setvbuf(f, buf, _IOFBF, sizeof buf);
    const long long lines = (long long)(megabytes * 1e6 / 11);
    // The program's sections, but for the addition window's choices (its
    // close adds them, which shows that the close wrote).
    const std::vector<const kob::WindowSettings*> windows = kob::settingsTable();
    std::vector<std::pair<std::string, std::vector<const kob::SettingKey*>>> sections;
    for (const auto* w : windows)
        for (const auto& k : w->keys) {
            if (k.section == "OsszeRadioButtonok") continue;
            if (sections.empty() || sections.back().first != k.section) sections.push_back({k.section, {}});
            sections.back().second.push_back(&k);
        }
    std::fputs("; a settings file of a shared folder, grown large\n", f);
    long long written = 0, foreign = 0;
    std::size_t next = 0;
    while (written < lines) {
        // Every 1/(n+1) of the file one of the program's sections.
        if (next < sections.size() && written >= (long long)(next + 1) * lines / (long long)(sections.size() + 1)) {
            const auto& [name, keys] = sections[next++];
            std::fprintf(f, "[%s]\n", name.c_str());
            // One section of the program holds a tenth of the file before its own keys.
            if (name == "HosszuSpinek")
                for (long long i = 0; i < lines / 10; ++i, ++written) std::fprintf(f, "h%07lld=1\n", i % 10000000);
            for (const auto* k : keys) {
                if (k->type == kob::SettingType::String) std::fprintf(f, "%s=%s\n", k->key.c_str(), "Smoky (internal)");
                else std::fprintf(f, "%s=%d\n", k->key.c_str(), k->type == kob::SettingType::Boolean ? 1 : k->max);
                ++written;
            }
            continue;
        }
        if (written % 2000 == 0) std::fprintf(f, "[F%06lld]\n", foreign++);
        std::fprintf(f, "k%07lld=1\n", written % 10000000);
        ++written;
    }
    return std::fclose(f) == 0 ? 0 : 1;
}

int bigIni(const std::string& path) {
    const long peakBefore = benchprobe::peakKb();
    std::error_code ec;
    const auto sizeBefore = std::filesystem::file_size(path, ec);
    if (ec) return 1;
    testkit::RecordingPlayer player;
    QStringList errors;
    KobaltDeps deps;
    deps.settingsLocation = kob::SettingsLocation::portable(path);
    deps.player = &player;
    deps.reportError = [&](const QString& m) { errors << m; };
    deps.confirmExit = [](QWidget*) { return true; };
    const double t0 = nowMs();
    auto app = std::make_unique<KobaltfaApp>(std::move(deps));
    app->Form1->show();
    const double built = nowMs();
    settle(app->Form1);
    const double shown = nowMs();

    // The addition window reads the file when it is shown and writes it
    // when it closes; the length window read it at start and writes it too.
    // A close is timed until its save, which runs behind the closed window,
    // has ended.
    double t = nowMs();
    app->Form1->OsszeBtn->click();
    const double opened = nowMs() - t;
    settle(app->OsszeadForm);
    t = nowMs();
    app->OsszeadForm->close();
    app->shell()->finishSaves();
    const double closed = nowMs() - t;
    settle(app->Form1);
    app->Form1->MertekBtn->click();
    settle(app->MertekForm);
    app->MertekForm->Hosszusag->click();
    settle(app->HosszuForm);
    t = nowMs();
    app->HosszuForm->close();
    app->shell()->finishSaves();
    const double closedConv = nowMs() - t;
    settle(app->MertekForm);
    const long peak = benchprobe::peakKb();

    const auto reader = kob::SettingsFile(path).read();
    const bool wrote = reader.readInt("OsszeRadioButtonok", "RB2", -1) != -1 &&
                       reader.readString("Skin", "SkinName", "") == "Smoky (internal)";
    const auto sizeAfter = std::filesystem::file_size(path, ec);
    std::printf("bigini_file_kb=%lld bigini_file_after_kb=%lld bigini_start_ms=%.1f bigini_built_ms=%.1f "
                "bigini_open_ms=%.1f bigini_close_ms=%.1f bigini_close_conv_ms=%.1f bigini_peak_kb=%ld "
                "bigini_peak_before_kb=%ld bigini_wrote=%d bigini_errors=%d\n",
                (long long)sizeBefore / 1024, (long long)sizeAfter / 1024, shown - t0, built - t0, opened,
                closed, closedConv, peak, peakBefore, wrote ? 1 : 0, int(errors.size()));
    return wrote && errors.isEmpty() ? 0 : 1;
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    const int a = argc > 2 ? std::atoi(argv[2]) : 30;
    const int b = argc > 3 ? std::atoi(argv[3]) : 500;
    if (mode == "response") return response(a);
    if (mode == "skin") return skin(a);
    if (mode == "open") return open(a);
    if (mode == "idle") return idle(a);
    const std::string option = argc > 4 ? argv[4] : "";
    if (mode == "soak") return soak(a, b, option == "clear-logs");
    if (mode == "make-bigini" && argc > 3) return makeBigIni(argv[2], std::atof(argv[3]));
    if (mode == "bigini" && argc > 2) return bigIni(argv[2]);
    std::fprintf(stderr, "usage: %s response N | skin N | soak ANSWERS TASKS\n", argv[0]);
    return 2;
}
