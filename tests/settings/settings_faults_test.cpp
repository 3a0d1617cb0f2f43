// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes that fail, writers that die, writers that race, files too large:
// the settings file is always the old or the new one, never a mixture,
// never lost.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>

#include "measure/conversion_settings.h"
#include "support/files.h"

namespace {

using filekit::entriesOf;
using filekit::slurp;

using kob::SettingsFile;
using kob::WriteResult;

// Reachable after dropping root.
struct TempDir : filekit::ScratchDir {
    explicit TempDir(std::string parent = ::testing::TempDir())
        : ScratchDir(std::move(parent), "kobaltfa-faults", 0777) {}
};

void spit(const std::string& path, const std::string& bytes, mode_t mode = 0666) {
    std::ofstream(path, std::ios::binary) << bytes;
    ::chmod(path.c_str(), mode);
}

// Runs `write` in a child process. The superuser ignores permission bits,
// so as root the child first becomes the unprivileged user "nobody".
// Empty when the privileges could not be dropped.
std::optional<WriteResult> writeAsOrdinaryUser(const std::function<WriteResult()>& write) {
    if (::geteuid() != 0) return filekit::runAs(std::nullopt, write);
    return filekit::runAs(filekit::Identity{65534, 65534, {}, std::nullopt}, write);
}

TEST(SettingsRefusedWrite, EachRefusalLeavesTheOldFileAndNoTemporary) {
    const std::string oldBytes = "[Skin]\r\nSkinName=Vista (internal)\r\n; mine\r\n";
    // (A writable file in a read-only folder is updated in place: see
    // settings_shared_test.)
    enum Setup { ReadOnlyFolderNoFile, ReadOnlyFile, DirectoryAtPath, ParentIsAFile };
    const struct {
        const char* name;
        Setup setup;
    } cases[] = {
        {"read-only folder, no file yet", ReadOnlyFolderNoFile},
        {"read-only file in a writable folder", ReadOnlyFile},
        {"a folder where the file should be", DirectoryAtPath},
        {"the folder is a file", ParentIsAFile},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir base;
        std::string folder = base.file("exe");
        ::mkdir(folder.c_str(), 0777);
        ::chmod(folder.c_str(), 0777);
        std::string path = folder + "/kobaltfa.ini";
        std::string watched = path;  // the bytes that must survive
        std::string expectOld = oldBytes;
        switch (c.setup) {
        case ReadOnlyFolderNoFile:
            ::chmod(folder.c_str(), 0555);
            expectOld.clear();
            break;
        case ReadOnlyFile:
            spit(path, oldBytes, 0444);
            break;
        case DirectoryAtPath:
            ::mkdir(path.c_str(), 0777);
            spit(path + "/inside", oldBytes);
            watched = path + "/inside";
            break;
        case ParentIsAFile:
            spit(folder + "/plain", oldBytes);
            path = folder + "/plain/kobaltfa.ini";
            watched = folder + "/plain";
            break;
        }
        const std::vector<std::string> before = entriesOf(folder);

        const auto r = writeAsOrdinaryUser(
            [&] { return SettingsFile(path).write({{"Skin", "SkinName", "WEB (internal)"}, {"A", "B", "1"}}); });
        if (!r) GTEST_SKIP() << "running as root and unable to become an ordinary user, so permissions bind no one";
        EXPECT_FALSE(r->ok);
        EXPECT_EQ(r->message, "Unable to write to " + path);
        EXPECT_EQ(slurp(watched), expectOld);
        EXPECT_EQ(entriesOf(folder), before);
    }
}

TEST(SettingsInjectedFault, FailureAtAnyStepLeavesTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("kobaltfa.ini");
    const std::string oldBytes = "[OsszeTimer]\nIdoScroll=45\n[Mine]\nkeep=me\n";
    spit(path, oldBytes, 0644);
    const std::vector<kob::IniEntry> entries = {{"OsszeTimer", "IdoScroll", "60"}, {"New", "K", "v"}};
    const std::size_t newSize = oldBytes.size() + std::string("[New]\nK=v\n").size();

    const struct {
        const char* name;
        filekit::Faults faults;
    } cases[] = {
        {"disk full at once", {0, false, false}},
        {"disk full after one byte", {1, false, false}},
        {"disk full in the middle", {17, false, false}},
        {"disk full before the last byte", {newSize - 1, false, false}},
        {"sync fails", {SIZE_MAX, true, false}},
        {"rename refused", {SIZE_MAX, false, true}},
    };
    const int descriptors = filekit::openDescriptors();
    for (const auto& c : cases) {
        filekit::FaultyOps ops(c.faults);
        const WriteResult r = SettingsFile(path, ops).write(entries);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.message, "Unable to write to " + path) << c.name;
        EXPECT_EQ(slurp(path), oldBytes) << c.name;
        EXPECT_EQ(entriesOf(dir.path), std::vector<std::string>{"kobaltfa.ini"}) << c.name;
        EXPECT_EQ(filekit::openDescriptors(), descriptors) << c.name << ": a descriptor was left open";
        if (c.faults.failAtByte != SIZE_MAX) {
            EXPECT_TRUE(ops.refusedAWrite()) << c.name;
            EXPECT_EQ(ops.written(), c.faults.failAtByte) << c.name << ": the bytes before the fault were written";
        }
    }
    // Enough room for every byte: the write goes through, and the lock taken
    // by the failed attempts is free again.
    filekit::FaultyOps roomy({newSize, false, false});
    const WriteResult r = SettingsFile(path, roomy).write(entries);
    EXPECT_TRUE(r.ok);
    EXPECT_FALSE(roomy.refusedAWrite());
    EXPECT_EQ(slurp(path), "[OsszeTimer]\nIdoScroll=60\n[Mine]\nkeep=me\n[New]\nK=v\n");
    EXPECT_EQ(filekit::openDescriptors(), descriptors);
}

TEST(SettingsRefusedWrite, FileBeyondTheSizeBoundIsNeitherReadNorWritten) {
    TempDir dir;
    const std::string path = dir.file("kobaltfa.ini");
    // Mostly a hole: it takes no room on the disk.
    spit(path, "[A]\nK=1\n", 0644);
    ASSERT_EQ(::truncate(path.c_str(), off_t(SettingsFile::kMaxFileSize + 1)), 0);
    const SettingsFile file(path);
    EXPECT_EQ(file.read().readInt("A", "K", -1), -1);
    const WriteResult r = file.write({{"A", "K", "2"}});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Unable to write to " + path);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(std::uint64_t(st.st_size), SettingsFile::kMaxFileSize + 1);
    char head[8] = {};
    std::ifstream(path, std::ios::binary).read(head, sizeof head);
    EXPECT_EQ(std::string(head, sizeof head), "[A]\nK=1\n");
    EXPECT_EQ(entriesOf(dir.path), std::vector<std::string>{"kobaltfa.ini"});
}

// Writes one conversion window's values with every key changed.
WriteResult storeLength(const SettingsFile& file, bool second) {
    const kob::WindowSettings w = kob::conversionSettings(kob::lengthTable()).keys();
    auto values = kob::defaultSettings(w);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto& k = w.keys[i];
        values[i].intValue = k.type == kob::SettingType::Boolean ? (second ? 1 - k.defaultInt : k.defaultInt)
                                                                 : (second ? k.max : k.min);
    }
    return kob::storeWindowSettings(file, w, values);
}

// A folder in memory where there is one: a killed process is what is tested
// here, not a lost disk, and syncing to a real disk would make each round
// take many times longer.
std::string memoryFolder() {
    struct stat st {};
    if (::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && ::access("/dev/shm", W_OK) == 0) return "/dev/shm";
    return ::testing::TempDir();
}

TEST(SettingsKilledWriter, FileIsAlwaysTheOldOrTheNewOne) {
    TempDir dir(memoryFolder());
    const std::string path = dir.file("kobaltfa.ini");
    // Foreign content makes the file big enough for a kill to land mid-write.
    std::string padding = "[Mine]\n";
    for (int i = 0; i < 1000; ++i) padding += "Line" + std::to_string(i) + "=" + std::string(40, 'p') + "\n";
    spit(path, padding, 0644);
    const SettingsFile file(path);
    ASSERT_TRUE(storeLength(file, true).ok);
    const std::string second = slurp(path);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(storeLength(file, false).ok);
    const auto oneWrite = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    const std::string first = slurp(path);
    ASSERT_NE(first, second);

    // Kill moments spread over twice the time one write takes here.
    const long spread = std::clamp<long>(2 * oneWrite.count(), 200, 20000);
    // A few hundred rounds, fewer when the machine is slow: the loop stops
    // after about two seconds (this bounds the run, it is not checked).
    std::mt19937 rng(7);
    int completed = 0;
    const auto loopStart = std::chrono::steady_clock::now();
    for (int round = 0; round < 300; ++round) {
        if (round >= 30 && std::chrono::steady_clock::now() - loopStart > std::chrono::seconds(2)) break;
        const bool toSecond = slurp(path) == first;
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) ::_exit(storeLength(file, toSecond).ok ? 0 : 1);
        ::usleep(useconds_t(rng() % spread));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (WIFEXITED(status)) {
            ASSERT_EQ(WEXITSTATUS(status), 0) << "an undisturbed write failed";
            ++completed;
        }
        const std::string now = slurp(path);
        ASSERT_TRUE(now == first || now == second) << "round " << round << ": a mixed or partial file";
        if (WIFEXITED(status)) {
            ASSERT_EQ(now, toSecond ? second : first) << "round " << round;
        }
    }
    RecordProperty("completed_writes", completed);

    // The temporaries of killed writers go with the next write.
    ASSERT_TRUE(storeLength(file, true).ok);
    EXPECT_EQ(slurp(path), second);
    EXPECT_EQ(entriesOf(dir.path), std::vector<std::string>{"kobaltfa.ini"});
}

// The system's calls, but the process kills itself (SIGKILL) once `killAt`
// bytes are written: the bytes of that write before the mark reach the
// file, the rest do not. With no mark it counts the bytes.
class KillingOps : public kob::FileOps {
public:
    explicit KillingOps(std::size_t killAt = SIZE_MAX) : killAt_(killAt) {}
    ssize_t write(int fd, const void* data, std::size_t size) override {
        const std::size_t n = room(size);
        const ssize_t w = n > 0 ? FileOps::write(fd, data, n) : 0;
        if (n < size) ::raise(SIGKILL);
        return w;
    }
    ssize_t pwrite(int fd, const void* data, std::size_t size, off_t offset) override {
        const std::size_t n = room(size);
        const ssize_t w = n > 0 ? FileOps::pwrite(fd, data, n, offset) : 0;
        if (n < size) ::raise(SIGKILL);
        return w;
    }
    std::size_t written() const { return written_; }

private:
    std::size_t room(std::size_t size) {
        const std::size_t n = std::min(size, killAt_ - std::min(killAt_, written_));
        written_ += n;
        return n;
    }
    std::size_t killAt_;
    std::size_t written_ = 0;
};

TEST(SettingsKilledWriter, RewriteInPlaceIsFinishedFromItsJournal) {
    TempDir dir(memoryFolder());
    const std::string path = dir.file("kobaltfa.ini");
    std::string padding = "[Mine]\n";
    for (int i = 0; i < 100; ++i) padding += "Line" + std::to_string(i) + "=" + std::string(40, 'p') + "\n";
    spit(path, padding, 0644);
    // A second name: every save of the file is a rewrite in place.
    ASSERT_EQ(::link(path.c_str(), dir.file("second-name").c_str()), 0);
    const SettingsFile file(path);
    ASSERT_TRUE(storeLength(file, true).ok);
    const std::string second = slurp(path);
    KillingOps counter;
    ASSERT_TRUE(storeLength(SettingsFile(path, counter), false).ok);
    const std::string first = slurp(path);
    ASSERT_NE(first, second);
    // The bytes one save writes (its journal, then the file), each a moment
    // to be killed at.
    const std::size_t bytes = counter.written();
    constexpr int kRounds = 240;
    int kills = 0, torn = 0;
    for (int round = 0; round < kRounds; ++round) {
        const bool toSecond = slurp(path) == first;
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            KillingOps ops(std::size_t(round) * bytes / kRounds);
            ::_exit(storeLength(SettingsFile(path, ops), toSecond).ok ? 0 : 1);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) ++kills;
        // A reader finds all the old values or all the new ones, and leaves
        // the file whole.
        const int limit = file.read().readInt("HosszuTimer", "IdoScroll", -1);
        const std::string now = slurp(path);
        if (now != first && now != second) ++torn;
        EXPECT_EQ(limit, now == second ? 120 : 1) << "round " << round;
        EXPECT_TRUE(slurp(dir.file("second-name")) == now) << "round " << round;
    }
    RecordProperty("kills", kills);
    EXPECT_GE(kills, 200);
    EXPECT_EQ(torn, 0);
    // The next save leaves nothing of the killed ones behind.
    ASSERT_TRUE(storeLength(file, true).ok);
    EXPECT_EQ(slurp(dir.file("second-name")), second);
    EXPECT_EQ(entriesOf(dir.path), (std::vector<std::string>{"kobaltfa.ini", "second-name"}));
}

TEST(SettingsConcurrentWriters, NoKeyOfEitherIsLost) {
    TempDir dir;
    const std::string path = dir.file("kobaltfa.ini");
    constexpr int kWrites = 40;
    pid_t pids[2];
    for (int who = 0; who < 2; ++who) {
        pids[who] = ::fork();
        ASSERT_GE(pids[who], 0);
        if (pids[who] == 0) {
            const SettingsFile file(path);
            const std::string me = who == 0 ? "A" : "B";
            for (int i = 0; i < kWrites; ++i) {
                const std::string n = std::to_string(i);
                if (!file.write({{"Both", me + n, n}, {"Own" + me, "K" + n, me}}).ok) ::_exit(1);
            }
            ::_exit(0);
        }
    }
    for (pid_t pid : pids) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto r = SettingsFile(path).read();
    for (const std::string me : {"A", "B"}) {
        for (int i = 0; i < kWrites; ++i) {
            const std::string n = std::to_string(i);
            EXPECT_EQ(r.readInt("Both", me + n, -1), i) << me << n;
            EXPECT_EQ(r.readString("Own" + me, "K" + n, ""), me) << me << n;
        }
    }
}

}  // namespace
