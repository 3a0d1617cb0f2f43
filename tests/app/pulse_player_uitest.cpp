// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The libpulse cue player against a real, private PulseAudio server with a
// null sink, whose monitor is recorded to see what actually got played.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/pulse_player.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
constexpr double kRate = 44100;

bool onPath(const std::string& tool) { return std::system(("command -v " + tool + " >/dev/null").c_str()) == 0; }

// Starts a program with the test's environment and its output in `log`.
pid_t spawn(std::vector<std::string> args, const fs::path& log) {
    posix_spawn_file_actions_t io;
    posix_spawn_file_actions_init(&io);
    posix_spawn_file_actions_addopen(&io, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&io, 1, 2);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &io, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&io);
    return pid;
}

// Ends a child started by spawn(), politely first.
void stop(pid_t& pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    bool reaped = false;
    for (int i = 0; i < 200 && !reaped; ++i) {
        reaped = ::waitpid(pid, nullptr, WNOHANG) == pid;
        if (!reaped) std::this_thread::sleep_for(10ms);
    }
    if (!reaped) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

Bytes readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::vector<double> samples(const std::uint8_t* p, std::size_t bytes) {
    std::vector<double> s(bytes / 2);
    for (std::size_t i = 0; i < s.size(); ++i) s[i] = std::int16_t(p[2 * i] | p[2 * i + 1] << 8) / 32768.0;
    return s;
}

// The stretch of the recording that is not silent, in seconds from its
// start, judged on 10 ms windows against -50 dBFS.
struct Span {
    double begin = 0, end = 0;
    double length() const { return end - begin; }
};
std::optional<Span> soundSpan(const std::vector<double>& s) {
    constexpr std::size_t w = 441;
    std::optional<Span> span;
    for (std::size_t at = 0; at + w <= s.size(); at += w) {
        double sum = 0;
        for (std::size_t i = at; i < at + w; ++i) sum += s[i] * s[i];
        if (std::sqrt(sum / w) < 0.003) continue;
        if (!span) span = Span{at / kRate, 0};
        span->end = (at + w) / kRate;
    }
    return span;
}

// Where `needle` best lines up in `hay`, and how well (normalised
// correlation, 1 for an exact copy).
std::pair<std::size_t, double> bestMatch(const std::vector<double>& hay, const std::vector<double>& needle) {
    double nn = 0;
    for (double v : needle) nn += v * v;
    std::pair<std::size_t, double> best{0, -1};
    for (std::size_t k = 0; k + needle.size() <= hay.size(); ++k) {
        double hn = 0, hx = 0;
        for (std::size_t i = 0; i < needle.size(); ++i) {
            hx += hay[k + i] * needle[i];
            hn += hay[k + i] * hay[k + i];
        }
        const double c = hn > 0 ? hx / std::sqrt(hn * nn) : 0;
        if (c > best.second) best = {k, c};
    }
    return best;
}

struct Clip {
    Bytes wave;  // stays put while the player reads it
    std::vector<double> pcm;
    double seconds() const { return pcm.size() / kRate; }
};
Clip loadClip(const char* name) {
    Clip c{readFile(fs::path(KOBALTFA_SOURCE_DIR) / "resources/sounds" / (std::string(name) + ".wav")), {}};
    if (c.wave.size() > 44) c.pcm = samples(c.wave.data() + 44, c.wave.size() - 44);
    return c;
}

// A private server in its own runtime and home directories; the test
// process's environment points libpulse (and pactl, parec) at it.
class PulseServer : public testing::Test {
protected:
    void SetUp() override {
        if (!onPath("pulseaudio")) GTEST_SKIP() << "pulseaudio is not installed";
        char tmpl[] = "/tmp/kobaltfa-pulse-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
        fs::create_directories(dir / "run");
        fs::create_directories(dir / "home");
        fs::permissions(dir / "run", fs::perms::owner_all);
        for (const char* name : kVars)
            if (const char* v = std::getenv(name)) saved.emplace_back(name, v);
        ::setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
        ::setenv("HOME", (dir / "home").c_str(), 1);
        ::setenv("PULSE_RUNTIME_PATH", (dir / "run/pulse").c_str(), 1);
        ::setenv("PULSE_SERVER", ("unix:" + (dir / "run/pulse/native").string()).c_str(), 1);
    }

    void TearDown() override {
        stop(recorder);
        stop(server);
        if (dir.empty()) return;
        for (const char* name : kVars) ::unsetenv(name);
        for (auto& [name, value] : saved) ::setenv(name.c_str(), value.c_str(), 1);
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    bool startServer() {
        server = spawn({"pulseaudio", "--system=false", "--daemonize=no", "--exit-idle-time=-1", "-n",
                        "--use-pid-file=false", "-L", "module-null-sink sink_name=nr norewinds=1", "-L",
                        "module-native-protocol-unix"},
                       dir / "server.log");
        return server > 0 && waitFor([&] {
                   pid_t pactl = spawn({"pactl", "info"}, dir / "pactl.log");
                   int status = 1;
                   if (pactl > 0) ::waitpid(pactl, &status, 0);
                   return WIFEXITED(status) && WEXITSTATUS(status) == 0;
               }, 5s);
    }

    // Records the null sink's monitor; returns once samples are flowing.
    bool startRecording() {
        recorder = spawn({"sh", "-c",
                          "exec parec -d nr.monitor --latency-msec=5 --format=s16le --rate=44100 --channels=1 "
                          "--raw > '" + (dir / "rec.raw").string() + "'"},
                         dir / "parec.log");
        return recorder > 0 && waitFor([&] {
                   std::error_code e;
                   const auto size = fs::file_size(dir / "rec.raw", e);
                   return !e && size > 4410;
               }, 5s);
    }

    std::vector<double> recorded() {
        const Bytes raw = readFile(dir / "rec.raw");
        return samples(raw.data(), raw.size());
    }

    // Waits until sound has been recorded and then 300 ms of silence.
    std::vector<double> recordUntilQuiet() {
        std::vector<double> rec;
        waitFor([&] {
            rec = recorded();
            const auto span = soundSpan(rec);
            return span && rec.size() / kRate - span->end > 0.3;
        }, 5s);
        stop(recorder);
        return recorded();
    }

    static constexpr const char* kVars[] = {"XDG_RUNTIME_DIR", "HOME", "PULSE_RUNTIME_PATH", "PULSE_SERVER"};
    fs::path dir;
    std::vector<std::pair<std::string, std::string>> saved;
    pid_t server = -1;
    pid_t recorder = -1;
};

TEST_F(PulseServer, PlaysAClipThroughToTheSink) {
    const Clip perfect = loadClip("PERFECT");  // outlives the player
    ASSERT_FALSE(perfect.pcm.empty());
    ASSERT_TRUE(startServer()) << [&] {
        const Bytes log = readFile(dir / "server.log");
        return std::string(log.begin(), log.end());
    }();
    kob::PulsePlayer player;
    ASSERT_TRUE(waitFor([&] { return player.ready(); }, 5s));
    ASSERT_TRUE(startRecording());

    player.play("Perfect", perfect.wave.data(), perfect.wave.size());
    const auto rec = recordUntilQuiet();
    const auto span = soundSpan(rec);
    ASSERT_TRUE(span) << "nothing reached the sink";
    EXPECT_NEAR(span->length(), perfect.seconds(), perfect.seconds() * 0.25);
    // The samples arrive as they are in the clip.
    const std::vector<double> head(perfect.pcm.begin(), perfect.pcm.begin() + 2205);
    EXPECT_GT(bestMatch(rec, head).second, 0.95);
}

TEST_F(PulseServer, ANewCueCutsOffTheOneStillPlaying) {
    const Clip longOne = loadClip("YOULLREGRETTHAT");
    const Clip shortOne = loadClip("PERFECT");
    ASSERT_TRUE(startServer());
    kob::PulsePlayer player;
    ASSERT_TRUE(waitFor([&] { return player.ready(); }, 5s));

    // The sound server is scheduled by the machine, not by this test: on a
    // loaded machine one recording can catch an underrun gap. A player that
    // does not cut off fails every attempt; a scheduling hiccup does not.
    std::string why;
    for (int attempt = 0; attempt < 3; ++attempt) {
        why.clear();
        stop(recorder);
        std::error_code ignored;
        fs::remove(dir / "rec.raw", ignored);
        ASSERT_TRUE(startRecording());

        player.play("YoullRegretThat", longOne.wave.data(), longOne.wave.size());
        std::this_thread::sleep_for(150ms);
        player.play("Perfect", shortOne.wave.data(), shortOne.wave.size());
        const auto rec = recordUntilQuiet();
        const auto span = soundSpan(rec);
        if (!span) {
            why = "nothing reached the sink";
            continue;
        }
        // The second cue starts from its beginning with nothing of the first
        // mixed in, and the sound ends with it, long before the first clip
        // would have ended.
        const std::vector<double> head(shortOne.pcm.begin(), shortOne.pcm.begin() + 2205);
        const auto [at, match] = bestMatch(rec, head);
        const double secondStart = at / kRate - span->begin;
        std::ostringstream out;
        if (match <= 0.9) out << "second cue's start matched only " << match << "; ";
        if (secondStart <= 0.05) out << "second cue started " << secondStart << " s into the sound; ";
        if (std::abs(span->length() - (secondStart + shortOne.seconds())) > 0.15)
            out << "sound lasted " << span->length() << " s, expected "
                << secondStart + shortOne.seconds() << " s; ";
        if (span->length() >= longOne.seconds() * 0.8) out << "the first cue was not cut off; ";
        why = out.str();
        if (why.empty()) break;
    }
    EXPECT_EQ(why, "");
}

// The cue asked for at start ("Hello") comes while the player is still
// connecting: every start must be heard all the same, from the clip's
// beginning. Each start is a fresh player that is asked at once.
TEST_F(PulseServer, ACueAskedWhileConnectingIsHeardOnEveryStart) {
    const Clip hello = loadClip("HELLO");
    ASSERT_TRUE(startServer());
    ASSERT_TRUE(startRecording());
    const std::vector<double> head(hello.pcm.begin(), hello.pcm.begin() + 2205);
    constexpr int kStarts = 20;
    std::string why;
    for (int start = 0; start < kStarts; ++start) {
        const std::size_t from = recorded().size();
        std::vector<double> rec;
        {
            kob::PulsePlayer player;
            player.play("Hello", hello.wave.data(), hello.wave.size());
            // A fifth of a second of it is enough to know it; the player's
            // end then silences the rest, ready for the next start.
            waitFor([&] {
                const auto all = recorded();
                rec.assign(all.begin() + std::ptrdiff_t(std::min(from, all.size())), all.end());
                const auto span = soundSpan(rec);
                return span && rec.size() / kRate - span->begin > 0.2;
            }, 3s);
        }
        // The clip from its beginning (a busy machine can drop a few
        // milliseconds as a stream starts, so the match need not be exact).
        std::ostringstream out;
        if (const auto span = soundSpan(rec); !span) {
            out << "start " << start << ": silent; ";
        } else if (const auto [at, match] = bestMatch(rec, head); match <= 0.8 || at / kRate > span->begin + 0.02) {
            out << "start " << start << ": the clip's beginning matched " << match << " at " << at / kRate
                << " s, the sound began at " << span->begin << " s; ";
        }
        why += out.str();
        // Quiet again before the next start.
        waitFor([&] {
            const auto all = recorded();
            const std::size_t n = std::min<std::size_t>(all.size(), 4410);
            return !soundSpan(std::vector<double>(all.end() - std::ptrdiff_t(n), all.end()));
        }, 2s);
    }
    EXPECT_EQ(why, "");
}

// Of the cues asked for while connecting only the newest waits: the first
// sound at the sink is its beginning.
TEST_F(PulseServer, OnlyTheNewestCueWaitsForTheStream) {
    const Clip perfect = loadClip("PERFECT");
    const Clip hello = loadClip("HELLO");
    ASSERT_TRUE(startServer());
    ASSERT_TRUE(startRecording());
    kob::PulsePlayer player;
    ASSERT_FALSE(player.ready());  // asked for before the stream exists
    player.play("Perfect", perfect.wave.data(), perfect.wave.size());
    player.play("Hello", hello.wave.data(), hello.wave.size());
    const auto rec = recordUntilQuiet();
    const auto span = soundSpan(rec);
    ASSERT_TRUE(span) << "nothing reached the sink";
    const std::vector<double> head(hello.pcm.begin(), hello.pcm.begin() + 2205);
    const auto [at, match] = bestMatch(rec, head);
    EXPECT_GT(match, 0.95);
    EXPECT_NEAR(at / kRate, span->begin, 0.02) << "something sounded before \"Hello\"";
    EXPECT_NEAR(span->length(), hello.seconds(), hello.seconds() * 0.25);
}

// A server that answers late (stopped for a while as the player starts):
// a cue that can still start within a second of being asked is heard, one
// that cannot is dropped, as it is without a server.
TEST_F(PulseServer, AWaitingCueIsHeardUpToASecondLateAndDroppedAfter) {
    const Clip hello = loadClip("HELLO");
    const Clip missed = loadClip("MISSED");
    ASSERT_TRUE(startServer());
    for (const auto& [pause, heard] : {std::pair{300ms, true}, std::pair{1600ms, false}}) {
        SCOPED_TRACE("server answering after " + std::to_string(pause.count()) + " ms");
        stop(recorder);
        std::error_code ignored;
        fs::remove(dir / "rec.raw", ignored);
        ASSERT_TRUE(startRecording());
        ::kill(server, SIGSTOP);
        kob::PulsePlayer player;
        player.play("Hello", hello.wave.data(), hello.wave.size());
        std::this_thread::sleep_for(pause);
        EXPECT_FALSE(player.ready());
        ::kill(server, SIGCONT);
        ASSERT_TRUE(waitFor([&] { return player.ready(); }, 5s));
        // Long enough for the waiting cue to have started if it is going to.
        std::this_thread::sleep_for(700ms);
        const auto span = soundSpan(recorded());
        if (heard) {
            ASSERT_TRUE(span) << "the waiting cue was dropped";
            const std::vector<double> head(hello.pcm.begin(), hello.pcm.begin() + 2205);
            EXPECT_GT(bestMatch(recorded(), head).second, 0.95);
        } else {
            EXPECT_FALSE(span) << "a cue played more than a second late";
            // The player itself works: the next cue is heard.
            player.play("Missed", missed.wave.data(), missed.wave.size());
            EXPECT_TRUE(soundSpan(recordUntilQuiet()));
        }
    }
}

// Helps the no-server case: everything written to stderr meanwhile.
class StderrCapture {
public:
    explicit StderrCapture(const fs::path& file) : path(file) {
        std::fflush(stderr);
        saved = ::dup(2);
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, 2);
        ::close(fd);
    }
    std::string finish() {
        std::fflush(stderr);
        ::dup2(saved, 2);
        ::close(saved);
        const Bytes text = readFile(path);
        return std::string(text.begin(), text.end());
    }

private:
    fs::path path;
    int saved;
};

TEST_F(PulseServer, WithoutAServerPlaysNothingSilentlyAndPicksUpALateServer) {
    const Clip hello = loadClip("HELLO");
    std::optional<kob::PulsePlayer> player;
    {
        StderrCapture err(dir / "stderr.txt");
        player.emplace();
        for (int i = 0; i < 100; ++i) player->play("Hello", hello.wave.data(), hello.wave.size());
        // Long enough for at least one reconnection attempt to fail.
        std::this_thread::sleep_for(1500ms);
        EXPECT_FALSE(player->ready());
        EXPECT_EQ(err.finish(), "");
    }

    // A server that appears later is found without any help.
    ASSERT_TRUE(startServer());
    ASSERT_TRUE(waitFor([&] { return player->ready(); }, 5s));
    ASSERT_TRUE(startRecording());
    player->play("Hello", hello.wave.data(), hello.wave.size());
    const auto span = soundSpan(recordUntilQuiet());
    ASSERT_TRUE(span);
    EXPECT_NEAR(span->length(), hello.seconds(), hello.seconds() * 0.25);
}

TEST_F(PulseServer, SurvivesTheServerGoingAwayAndComingBack) {
    const Clip missed = loadClip("MISSED");
    ASSERT_TRUE(startServer());
    kob::PulsePlayer player;
    ASSERT_TRUE(waitFor([&] { return player.ready(); }, 5s));
    stop(server);
    ASSERT_TRUE(waitFor([&] { return !player.ready(); }, 5s));
    player.play("Missed", missed.wave.data(), missed.wave.size());  // nowhere to go

    ASSERT_TRUE(startServer());
    ASSERT_TRUE(waitFor([&] { return player.ready(); }, 5s));
    ASSERT_TRUE(startRecording());
    player.play("Missed", missed.wave.data(), missed.wave.size());
    const auto span = soundSpan(recordUntilQuiet());
    ASSERT_TRUE(span);
    EXPECT_NEAR(span->length(), missed.seconds(), missed.seconds() * 0.25);
}

}  // namespace
