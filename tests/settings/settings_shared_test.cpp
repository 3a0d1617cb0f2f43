// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings file in shared folders: links planted by others, files of
// other users and groups, folders that take no new files, hard links,
// temporaries of other users, a lock held by another process, saves in the
// background. The cases with several users need root to become them (CI
// runs as root); they are skipped, with the reason, otherwise.
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
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <numeric>
#include <optional>
#include <sstream>
#include <thread>

#include "settings/settings_file.h"
#include "settings/settings_saver.h"
#include "support/files.h"

namespace {

using filekit::entriesOf;
using filekit::slurp;

using kob::SettingsFile;
using kob::WriteResult;

constexpr gid_t kClass = 60000;   // the group both pupils are in
constexpr uid_t kAnna = 60001;
constexpr uid_t kBela = 60002;
constexpr gid_t kOther = 60009;  // a group neither is in
constexpr uid_t kOutsider = 60003;  // in none of these groups (primary group 60003)

void spit(const std::string& path, const std::string& bytes, mode_t mode = 0644) {
    std::ofstream(path, std::ios::binary) << bytes;
    ::chmod(path.c_str(), mode);
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

// Reachable for the pupils.
struct TempDir : filekit::ScratchDir {
    TempDir() : ScratchDir(::testing::TempDir(), "kobaltfa-shared", 0755) {}
    // A folder of the given owner, group and mode.
    std::string folder(const std::string& name, uid_t uid, gid_t gid, mode_t mode) const {
        const std::string p = file(name);
        ::mkdir(p.c_str(), 0700);
        (void)!::chown(p.c_str(), uid, gid);
        ::chmod(p.c_str(), mode);
        return p;
    }
};

bool root() { return ::geteuid() == 0; }
#define NEEDS_ROOT() \
    if (!root()) GTEST_SKIP() << "needs root to act as two different pupils (uids 60001 and 60002)"

// Runs `write` in a child process as the user `uid` (groups: kClass, plus
// `extraGroup` when given, with `gid` as the primary group) and `umask`.
WriteResult as(uid_t uid, gid_t gid, const std::function<WriteResult()>& write,
               std::optional<gid_t> extraGroup = std::nullopt, mode_t umask = 002) {
    std::vector<gid_t> groups = {kClass};
    if (extraGroup) groups.push_back(*extraGroup);
    return filekit::runAs(filekit::Identity{uid, gid, groups, umask}, write)
        .value_or(WriteResult{false, "the child could not act as uid " + std::to_string(uid)});
}

WriteResult save(const std::string& path, const std::vector<kob::IniEntry>& entries) {
    return SettingsFile(path).write(entries);
}

// The skin name a read of `path` finds, as `uid` (root: this process), in
// the message of the result.
std::string skinReadAs(uid_t uid, const std::string& path) {
    auto read = [&] { return WriteResult{true, SettingsFile(path).read().readString("Skin", "SkinName", "(none)")}; };
    return (uid == 0 ? read() : as(uid, uid, read)).message;
}

// A process that holds a record lock on a file until it is released, or
// for `holdMs` milliseconds: by default a write lock on the file itself, as
// a copy of the program takes it where it can make no lock file.
struct Hold {
    short type = F_WRLCK;
    bool ofd = false;                     // a lock of the open file, as the program takes it
    std::optional<filekit::Identity> as;  // taken first
    int holdMs = -1;
};

class LockHolder {
public:
    explicit LockHolder(const std::string& path, int holdMs = -1)
        : LockHolder(path, Hold{F_WRLCK, false, std::nullopt, holdMs}) {}
    LockHolder(const std::string& path, const Hold& h) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            if (h.as && (::setgroups(h.as->groups.size(), h.as->groups.data()) != 0 || ::setgid(h.as->gid) != 0 ||
                         ::setuid(h.as->uid) != 0))
                ::_exit(3);
            const int fd = ::open(path.c_str(), h.type == F_RDLCK ? O_RDONLY : O_RDWR);
            struct flock fl {};
            fl.l_type = h.type;
            fl.l_whence = SEEK_SET;
            const char ok = (fd >= 0 && ::fcntl(fd, h.ofd ? F_OFD_SETLK : F_SETLK, &fl) == 0) ? '1' : '0';
            (void)!::write(fds[1], &ok, 1);
            if (h.holdMs >= 0) {
                ::usleep(useconds_t(h.holdMs) * 1000);
                ::_exit(0);
            }
            for (;;) ::pause();
        }
        ::close(fds[1]);
        char ok = '0';
        (void)!::read(fds[0], &ok, 1);
        ::close(fds[0]);
        locked_ = ok == '1';
    }
    ~LockHolder() { release(); }
    void release() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    bool locked() const { return locked_; }

private:
    pid_t pid_ = -1;
    bool locked_ = false;
};

// `path` write-locked by its writer `uid` (of the class), as a save holds
// its temporary or its lock file.
std::unique_ptr<LockHolder> holdAs(uid_t uid, const std::string& path) {
    return std::make_unique<LockHolder>(path, Hold{F_WRLCK, true, filekit::Identity{uid, kClass, {kClass}, {}}, -1});
}

// ---------------------------------------------------------------- links

TEST(SettingsLinks, PlantedLinksAreRefusedAndNothingIsWrittenThroughThem) {
    NEEDS_ROOT();
    TempDir t;
    // Anna plants links in the class folder; Béla (or root) saves there.
    const std::string shared = t.folder("class", 0, kClass, 02775);
    const std::string belaHome = t.folder("bela", kBela, kBela, 0700);
    const std::string victim = belaHome + "/notes.txt";
    spit(victim, "[Skin]\nSkinName=Bela's notes\n", 0600);
    (void)!::chown(victim.c_str(), kBela, kBela);
    const std::string rootFile = t.file("root-owned.conf");
    spit(rootFile, "[Skin]\nSkinName=root's file\n", 0644);
    const std::string annaFile = shared + "/anna.ini";
    spit(annaFile, "[Skin]\nSkinName=Anna's\n", 0666);
    (void)!::chown(annaFile.c_str(), kAnna, kClass);

    const struct {
        const char* name;
        std::string target;  // what the link points at
        uid_t saver;         // 0: root saves
    } cases[] = {
        {"to a file of the saving pupil in another folder", victim, kBela},
        {"to a root file, root saving", rootFile, 0},
        {"to a root file, a pupil saving", rootFile, kBela},
        {"to another pupil's file in the same folder", "anna.ini", kBela},
        {"to the planter's own file, root saving", "anna.ini", 0},
        {"dangling", "gone.ini", kBela},
        {"dangling into another folder", belaHome + "/kobaltfa.ini", kBela},
        {"through ../ into another folder", "../bela/notes.txt", kBela},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string link = shared + "/kobaltfa.ini";
        ASSERT_EQ(::symlink(c.target.c_str(), link.c_str()), 0);
        ASSERT_EQ(::lchown(link.c_str(), kAnna, kClass), 0);
        const std::vector<std::string> before = entriesOf(shared);
        const std::string victimBefore = slurp(victim), rootBefore = slurp(rootFile), annaBefore = slurp(annaFile);

        auto write = [&] { return save(link, {{"Skin", "SkinName", "WEB (internal)"}}); };
        const WriteResult r = c.saver == 0 ? write() : as(c.saver, c.saver, write);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, "Unable to write to " + link);
        EXPECT_TRUE(S_ISLNK(statOf(link).st_mode)) << "the link stays a link";
        EXPECT_EQ(entriesOf(shared), before);
        EXPECT_EQ(slurp(victim), victimBefore);
        EXPECT_EQ(slurp(rootFile), rootBefore);
        EXPECT_EQ(slurp(annaFile), annaBefore);
        EXPECT_EQ(entriesOf(belaHome), std::vector<std::string>{"notes.txt"});
        // Reads follow the same rules: nothing is read through the link.
        EXPECT_EQ(skinReadAs(c.saver, link), "(none)");
        ::unlink(link.c_str());
    }
}

TEST(SettingsLinks, OwnLinkInTheSameFolderIsWrittenThrough) {
    NEEDS_ROOT();
    TempDir t;
    const std::string home = t.folder("anna", kAnna, kAnna, 0700);
    spit(home + "/real.ini", "[A]\r\nK=1\r\n", 0640);
    (void)!::chown((home + "/real.ini").c_str(), kAnna, kAnna);
    for (const std::string& target : std::vector<std::string>{"real.ini", "./real.ini", home + "/real.ini"}) {
        SCOPED_TRACE(target);
        ASSERT_EQ(::symlink(target.c_str(), (home + "/kobaltfa.ini").c_str()), 0);
        (void)!::lchown((home + "/kobaltfa.ini").c_str(), kAnna, kAnna);
        const WriteResult r = as(kAnna, kAnna, [&] { return save(home + "/kobaltfa.ini", {{"A", "K", target}}); });
        EXPECT_TRUE(r.ok) << r.message;
        EXPECT_TRUE(S_ISLNK(statOf(home + "/kobaltfa.ini").st_mode));
        EXPECT_EQ(slurp(home + "/real.ini"), "[A]\r\nK=" + target + "\r\n");
        EXPECT_EQ(statOf(home + "/real.ini").st_mode & 07777, 0640u);
        EXPECT_EQ(statOf(home + "/real.ini").st_uid, kAnna);
        EXPECT_EQ(as(kAnna, kAnna, [&] {
                      return WriteResult{true, SettingsFile(home + "/kobaltfa.ini").read().readString("A", "K", "")};
                  }).message,
                  target);
        ::unlink((home + "/kobaltfa.ini").c_str());
    }
    EXPECT_EQ(entriesOf(home), std::vector<std::string>{"real.ini"});
}

// ---------------------------------------------------------------- ownership

TEST(SettingsOwnership, TwoPupilsOfOneGroupBothKeepSaving) {
    NEEDS_ROOT();
    const struct {
        const char* name;
        mode_t folderMode;
        mode_t umask;
        gid_t primary;  // the pupils' primary group
    } cases[] = {
        {"group-writable folder, umask 002", 0775, 002, kClass},
        // Debian's usual umask: the folder's set-group-id bit makes new
        // files group-writable all the same.
        {"set-group-id class folder, umask 022", 02775, 022, kClass},
        {"set-group-id class folder, umask 022, own primary groups", 02775, 022, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir t;
        const std::string shared = t.folder("class", 0, kClass, c.folderMode);
        const std::string path = shared + "/kobaltfa.ini";
        auto pupil = [&](uid_t who, const std::vector<kob::IniEntry>& e) {
            return as(who, c.primary ? c.primary : who, [&] { return save(path, e); }, std::nullopt, c.umask);
        };
        ASSERT_TRUE(pupil(kAnna, {{"Skin", "SkinName", "Anna"}}).ok);
        const struct stat made = statOf(path);
        ASSERT_EQ(made.st_uid, kAnna);
        ASSERT_EQ(made.st_gid, kClass);
        ASSERT_EQ(made.st_mode & 07777, 0664u);

        for (int round = 0; round < 3; ++round) {
            SCOPED_TRACE("round " + std::to_string(round));
            const std::string n = std::to_string(round);
            const WriteResult b = pupil(kBela, {{"Skin", "SkinName", "Bela" + n}, {"Bela", "Round", n}});
            EXPECT_TRUE(b.ok) << b.message;
            const WriteResult a = pupil(kAnna, {{"OsszeTimer", "IdoScroll", n}, {"Anna", "Round", n}});
            EXPECT_TRUE(a.ok) << a.message;
            const struct stat now = statOf(path);
            EXPECT_EQ(now.st_uid, kAnna) << "the owner stays";
            EXPECT_EQ(now.st_gid, kClass);
            EXPECT_EQ(now.st_mode & 07777, 0664u);
        }
        // Each pupil's keys kept; the skin is the last writer's.
        EXPECT_EQ(slurp(path),
                  "[Skin]\nSkinName=Bela2\n[Bela]\nRound=2\n[OsszeTimer]\nIdoScroll=2\n[Anna]\nRound=2\n");
        EXPECT_EQ(entriesOf(shared), std::vector<std::string>{"kobaltfa.ini"});
    }
}

TEST(SettingsOwnership, OwnerGroupAndModeAreKeptByEitherWayOfSaving) {
    NEEDS_ROOT();
    TempDir t;
    const std::string shared = t.folder("class", 0, kClass, 0775);
    const std::string path = shared + "/kobaltfa.ini";
    const struct {
        const char* name;
        uid_t owner;
        gid_t group;
        mode_t mode;
        uid_t saver;
        gid_t saverGroup;
        std::optional<gid_t> extra;
        bool replaced;  // a new file (new inode), or the old one rewritten
    } cases[] = {
        {"own file, own group", kAnna, kAnna, 0644, kAnna, kAnna, std::nullopt, true},
        {"own file, a group of one's own that is not the primary one", kAnna, kClass, 0660, kAnna, kAnna,
         std::nullopt, true},
        {"own file of a group one is not in", kAnna, kOther, 0664, kAnna, kAnna, std::nullopt, false},
        {"another pupil's file, group-writable", kBela, kClass, 0664, kAnna, kClass, std::nullopt, false},
        {"set-group-id and odd mode bits", kAnna, kClass, 02660, kAnna, kAnna, std::nullopt, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        spit(path, "; shared\n[A]\nK=0\n", c.mode);
        ASSERT_EQ(::chown(path.c_str(), c.owner, c.group), 0);
        ::chmod(path.c_str(), c.mode);
        const struct stat before = statOf(path);
        const WriteResult r = as(c.saver, c.saverGroup, [&] { return save(path, {{"A", "K", "1"}, {"B", "L", "2"}}); },
                                 c.extra);
        EXPECT_TRUE(r.ok) << r.message;
        const struct stat after = statOf(path);
        EXPECT_EQ(after.st_uid, c.owner);
        EXPECT_EQ(after.st_gid, c.group);
        EXPECT_EQ(after.st_mode & 07777, c.mode);
        EXPECT_EQ(after.st_ino != before.st_ino, c.replaced);
        EXPECT_EQ(slurp(path), "; shared\n[A]\nK=1\n[B]\nL=2\n");
        EXPECT_EQ(entriesOf(shared), std::vector<std::string>{"kobaltfa.ini"});
        ::unlink(path.c_str());
    }
}

TEST(SettingsOwnership, WritableFileInAFolderThatTakesNoNewFilesIsUpdatedInPlace) {
    NEEDS_ROOT();
    TempDir t;
    const std::string folder = t.folder("exe", 0, 0, 0755);
    const std::string path = folder + "/kobaltfa.ini";
    std::string longer = "; first line\n[A]\nK=1\n";
    for (int i = 0; i < 200; ++i) longer += "Other" + std::to_string(i) + "=x\n";
    for (const std::string& old : {std::string("[A]\nK=1\n"), longer}) {
        spit(path, old, 0666);
        // Shorter and longer than before, and back.
        for (const std::string value : {"a-much-longer-value-than-before", "2"}) {
            const WriteResult r = as(kAnna, kAnna, [&] { return save(path, {{"A", "K", value}}); });
            EXPECT_TRUE(r.ok) << r.message;
            std::string expected = old;
            expected.replace(expected.find("K=1"), 3, "K=" + value);
            EXPECT_EQ(slurp(path), expected);
            EXPECT_EQ(statOf(path).st_uid, 0u);
            EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"kobaltfa.ini"});
        }
    }
}

TEST(SettingsOwnership, FailedRewriteInPlacePutsTheOldBytesBack) {
    NEEDS_ROOT();
    TempDir t;
    const std::string folder = t.folder("exe", 0, 0, 0755);
    const std::string path = folder + "/kobaltfa.ini";
    const std::string old = "[A]\nK=1\n; tail that a shorter file would cut\n";
    spit(path, old, 0666);
    const filekit::Faults faults[] = {{0, false, false},  {3, false, false}, {30, false, false},
                                      {40, false, false}, {SIZE_MAX, true, false}};
    const std::vector<std::vector<kob::IniEntry>> edits = {
        {{"A", "K", ""}},                                   // one byte shorter
        {{"A", "K", "22"}, {"B", "L", "2"}},                // longer
        {{"A", "K", std::string(100, 'v')}, {"B", "L", "2"}},  // much longer
    };
    for (const auto& f : faults)
        for (const auto& e : edits) {
            const WriteResult r = as(kAnna, kAnna, [&] {
                filekit::FaultyOps ops(f);
                return SettingsFile(path, ops).write(e);
            });
            EXPECT_FALSE(r.ok) << f.failAtByte;
            EXPECT_EQ(r.message, "Unable to write to " + path);
            EXPECT_EQ(slurp(path), old) << f.failAtByte << " " << e[0].value.size();
        }
    // Without a fault the same edits go through.
    EXPECT_TRUE(as(kAnna, kAnna, [&] { return save(path, edits[0]); }).ok);
    EXPECT_EQ(slurp(path), "[A]\nK=\n; tail that a shorter file would cut\n");
}

TEST(SettingsOwnership, FileWithFurtherHardLinksIsRewrittenInPlaceForItsOwnerOnly) {
    NEEDS_ROOT();
    const struct {
        const char* name;
        uid_t owner;
        bool saved;
    } cases[] = {
        {"the saving pupil's own file: every name sees the save", kAnna, true},
        {"another user's file: refused", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir t;
        const std::string folder = t.folder("class", 0, kClass, 0775);
        const std::string path = folder + "/kobaltfa.ini";
        spit(path, "[A]\nK=1\n", 0666);
        ASSERT_EQ(::chown(path.c_str(), c.owner, kClass), 0);
        ASSERT_EQ(::link(path.c_str(), t.file("other-name").c_str()), 0);
        const ino_t inode = statOf(path).st_ino;
        const WriteResult r = as(kAnna, kClass, [&] { return save(path, {{"A", "K", "2"}}); });
        EXPECT_EQ(r.ok, c.saved) << r.message;
        if (!c.saved) {
            EXPECT_EQ(r.message, "Unable to write to " + path);
        }
        const std::string expected = c.saved ? "[A]\nK=2\n" : "[A]\nK=1\n";
        EXPECT_EQ(slurp(path), expected);
        EXPECT_EQ(slurp(t.file("other-name")), expected);
        EXPECT_EQ(statOf(path).st_ino, inode);
        EXPECT_EQ(statOf(path).st_nlink, 2u);
        EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"kobaltfa.ini"});
    }
}

TEST(SettingsOwnership, ASaveRemovesOnlyTemporariesThatAreStaleAndItsOwn) {
    NEEDS_ROOT();
    TempDir t;
    const std::string folder = t.folder("class", 0, kClass, 02775);
    const std::string path = folder + "/kobaltfa.ini";
    spit(path, "[A]\nK=1\n", 0664);
    ASSERT_EQ(::chown(path.c_str(), kAnna, kClass), 0);
    const struct {
        const char* name;
        uid_t owner;
        bool held;       // its writer holds a lock on it: a save under way
        int ageSeconds;
        bool stays;
    } cases[] = {
        {".kobaltfa.ini.tmpBela01", kBela, true, 0, true},
        {".kobaltfa.ini.tmpBela02", kBela, true, 600, true},
        {".kobaltfa.ini.tmpBela03", kBela, false, 10, true},
        {".kobaltfa.ini.tmpBela04", kBela, false, 120, false},
        {".kobaltfa.ini.tmpAnna01", kAnna, false, 0, false},
        {".kobaltfa.ini.tmpAnna02", kAnna, true, 0, true},
    };
    std::vector<std::unique_ptr<LockHolder>> holders;
    std::vector<std::string> expected = {"kobaltfa.ini"};
    for (const auto& c : cases) {
        const std::string p = folder + "/" + c.name;
        spit(p, "[A]\nK=half-written\n", 0664);
        ASSERT_EQ(::chown(p.c_str(), c.owner, kClass), 0);
        const struct timespec times[2] = {{time(nullptr) - c.ageSeconds, 0}, {time(nullptr) - c.ageSeconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0);
        if (c.stays) expected.push_back(c.name);
    }
    std::sort(expected.begin(), expected.end());
    // The held ones are held by their writers, as a save holds its temporary.
    for (const auto& c : cases)
        if (c.held) holders.push_back(holdAs(c.owner, folder + "/" + c.name));
    for (const auto& h : holders) ASSERT_TRUE(h->locked());
    const WriteResult r = as(kAnna, kClass, [&] { return save(path, {{"A", "K", "2"}}); });
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_EQ(entriesOf(folder), expected);
    EXPECT_EQ(slurp(path), "[A]\nK=2\n");
}

// ---------------------------------------------------------------- locking

TEST(SettingsLock, HeldLockRefusesTheSaveInsteadOfHangingAndLosesNothing) {
    TempDir t;
    const std::string path = t.file("kobaltfa.ini");
    const std::string old = "[OsszeTimer]\nIdoScroll=45\n";
    spit(path, old);
    LockHolder holder(path);
    ASSERT_TRUE(holder.locked());
    const auto start = std::chrono::steady_clock::now();
    // Held for ever: the save comes back all the same (with the default wait).
    const WriteResult r = save(path, {{"OsszeTimer", "IdoScroll", "60"}});
    RecordProperty("waited_ms", int(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now() - start)
                                        .count()));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Unable to write to " + path);
    EXPECT_EQ(slurp(path), old);
    EXPECT_EQ(entriesOf(t.path), std::vector<std::string>{"kobaltfa.ini"});
    // Reading does not wait for ever either, and sees the old values.
    EXPECT_EQ(SettingsFile(path).read().readInt("OsszeTimer", "IdoScroll", 0), 45);

    holder.release();
    ASSERT_TRUE(save(path, {{"OsszeTimer", "IdoScroll", "60"}}).ok);
    EXPECT_EQ(slurp(path), "[OsszeTimer]\nIdoScroll=60\n");
}

TEST(SettingsLock, SaveWaitsForALockThatIsSoonReleased) {
    TempDir t;
    const std::string path = t.file("kobaltfa.ini");
    spit(path, "[A]\nK=1\n");
    LockHolder holder(path, 200);
    ASSERT_TRUE(holder.locked());
    const WriteResult r = save(path, {{"A", "K", "2"}});
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_EQ(slurp(path), "[A]\nK=2\n");
}

TEST(SettingsLock, SavesInTheBackgroundHoldUpNoOneAndStayInOrder) {
    TempDir t;
    const std::string path = t.file("kobaltfa.ini");
    const std::string lock = t.file(".kobaltfa.ini.lock");
    spit(path, "[A]\nK=0\n");
    spit(lock, "", 0600);
    filekit::RecordingOps ops;
    SettingsFile file(path, ops);
    int told = 0;
    file.saveInBackground([&] { ++told; });
    const auto caller = std::this_thread::get_id();
    {
        // Another saver holds the lock until the background saver has
        // paused once and the caller has looked.
        LockHolder other(lock, Hold{F_WRLCK, true, std::nullopt, -1});
        ASSERT_TRUE(other.locked());
        std::promise<void> looked;
        std::shared_future<void> lookedDone = looked.get_future().share();
        ops.atPause = [&](std::size_t n) {
            if (n == 1) lookedDone.wait();
        };
        EXPECT_TRUE(file.write({{"A", "K", "1"}}).queued);
        EXPECT_TRUE(file.write({{"A", "K", "2"}, {"B", "L", "1"}}).queued);
        // The values saved read back at once; the file is not written yet.
        const auto r = file.read();
        EXPECT_EQ(r.readInt("A", "K", -1), 2);
        EXPECT_EQ(r.readInt("B", "L", -1), 1);
        EXPECT_EQ(slurp(path), "[A]\nK=0\n");
        other.release();
        looked.set_value();
        ASSERT_TRUE(file.saver()->finish(std::chrono::seconds(10)));
    }
    EXPECT_EQ(slurp(path), "[A]\nK=2\n[B]\nL=1\n");
    EXPECT_FALSE(file.saver()->takeRefusal());
    EXPECT_EQ(told, 0);
    EXPECT_EQ(entriesOf(t.path), std::vector<std::string>{"kobaltfa.ini"}) << "the lock file goes with its save";
    {
        // Held for ever: the saves are refused, and told once.
        spit(lock, "", 0600);
        LockHolder other(lock, Hold{F_WRLCK, true, std::nullopt, -1});
        ASSERT_TRUE(other.locked());
        ops.atPause = nullptr;
        file.write({{"C", "K", "1"}});
        file.write({{"C", "K", "2"}});
        ASSERT_TRUE(file.saver()->finish(std::chrono::seconds(10)));
        const auto refusal = file.saver()->takeRefusal();
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->message, "Unable to write to " + path);
        EXPECT_FALSE(file.saver()->takeRefusal());
        EXPECT_EQ(told, 1);
        EXPECT_EQ(file.read().readInt("C", "K", -1), -1);
    }
    EXPECT_EQ(slurp(path), "[A]\nK=2\n[B]\nL=1\n");
    // Neither a read nor a save ever paused on the caller's thread.
    EXPECT_TRUE(ops.pausesOn(caller).empty());
}

TEST(SettingsLock, AHeldLockIsTriedAgainAfterGrowingPauses) {
    TempDir t;
    const std::string path = t.file("kobaltfa.ini");
    spit(path, "[A]\nK=1\n");
    spit(t.file(".kobaltfa.ini.lock"), "", 0600);
    LockHolder other(t.file(".kobaltfa.ini.lock"), Hold{F_WRLCK, true, std::nullopt, -1});
    ASSERT_TRUE(other.locked());
    filekit::RecordingOps ops;  // the pauses are counted, not slept
    EXPECT_FALSE(SettingsFile(path, ops).write({{"A", "K", "2"}}).ok);
    const std::vector<int> p = ops.pausesOn(std::this_thread::get_id());
    ASSERT_FALSE(p.empty());
    EXPECT_LE(p.front(), 10);
    EXPECT_TRUE(std::is_sorted(p.begin(), p.end() - 1)) << "the last pause is what is left of the wait";
    EXPECT_LE(*std::max_element(p.begin(), p.end()), 200);
    EXPECT_EQ(std::accumulate(p.begin(), p.end(), 0), 2000);
    EXPECT_LE(p.size(), 20u);
    EXPECT_EQ(slurp(path), "[A]\nK=1\n");
}

TEST(SettingsLock, AnAccountThatMayOnlyReadTheFileCannotHoldUpSaves) {
    NEEDS_ROOT();
    TempDir t;
    const std::string folder = t.folder("class", 0, kClass, 02775);
    const std::string path = folder + "/kobaltfa.ini";
    const std::string lock = folder + "/.kobaltfa.ini.lock";
    spit(path, "[A]\nK=0\n", 0664);
    ASSERT_EQ(::chown(path.c_str(), kAnna, kClass), 0);
    // The outsider may read the file (its "other" bits) and holds read locks
    // on it, of both kinds, for the whole run.
    const filekit::Identity outsider{kOutsider, kOutsider, {kOutsider}, {}};
    LockHolder reader(path, Hold{F_RDLCK, false, outsider, -1});
    LockHolder ofdReader(path, Hold{F_RDLCK, true, outsider, -1});
    ASSERT_TRUE(reader.locked());
    ASSERT_TRUE(ofdReader.locked());
    for (int round = 0; round < 2; ++round) {
        for (uid_t who : {kAnna, kBela, uid_t(0)}) {
            SCOPED_TRACE("round " + std::to_string(round) + ", uid " + std::to_string(who));
            const std::string value = std::to_string(round) + "-" + std::to_string(who);
            // While the save is under way, its lock file gives "other" nothing.
            auto saveAndLook = [&] {
                filekit::RecordingOps ops;
                std::string lockMode;
                ops.atSync = [&] {
                    struct stat st {};
                    if (lockMode.empty() && ::lstat(lock.c_str(), &st) == 0)
                        lockMode = std::to_string(st.st_mode & 0777) + " gid " + std::to_string(st.st_gid);
                };
                const WriteResult r = SettingsFile(path, ops).write({{"A", "K", value}});
                if (!r.ok || !ops.pausesOn(std::this_thread::get_id()).empty())
                    return WriteResult{false, "refused or waited: " + r.message};
                return WriteResult{true, lockMode};
            };
            const WriteResult r = who == 0 ? saveAndLook() : as(who, kClass, saveAndLook);
            EXPECT_TRUE(r.ok) << r.message;
            EXPECT_EQ(r.message, std::to_string(0660) + " gid " + std::to_string(kClass));
            EXPECT_EQ(slurp(path), "[A]\nK=" + value + "\n");
        }
    }
    EXPECT_EQ(statOf(path).st_uid, kAnna);
    EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"kobaltfa.ini"});
}

}  // namespace
