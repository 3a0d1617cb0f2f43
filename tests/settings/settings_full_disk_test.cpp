// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Settings writes on a disk that is really full: a small in-memory file
// system is mounted, filled to the last byte (or the last inode), and the
// write must fail with the program's message, keep the old file byte for
// byte and leave no temporary behind. Needs the right to mount (root); the
// tests are skipped, with the reason, where mounting is impossible.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "measure/conversion_settings.h"
#include "support/files.h"

namespace {

using filekit::entriesOf;
using filekit::slurp;

using kob::SettingsFile;
using kob::WriteResult;

// Mounts made from here on stay inside this process: they vanish with it
// even if it is killed before it can unmount. Where a mount namespace of our
// own cannot be had, the destructor below is the only cleanup.
void keepMountsPrivate() {
    static const bool done = [] {
        if (::unshare(CLONE_NEWNS) != 0) return false;
        return ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    }();
    (void)done;
}

// A tmpfs of the given options on a fresh folder, unmounted and removed when
// the object goes, whatever the test did in between.
class SmallDisk {
public:
    explicit SmallDisk(const std::string& options) {
        std::string parent = ::testing::TempDir();
        if (!parent.empty() && parent.back() != '/') parent += '/';
        std::string tmpl = parent + "kobaltfa-disk-XXXXXX";
        if (!::mkdtemp(tmpl.data())) {
            why_ = std::string("no folder to mount on: ") + std::strerror(errno);
            return;
        }
        path = tmpl;
        keepMountsPrivate();
        if (::mount("tmpfs", path.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
            why_ = "cannot mount a tmpfs (" + options + ") on " + path + ": " + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~SmallDisk() {
        if (mounted_ && ::umount2(path.c_str(), 0) != 0) ::umount2(path.c_str(), MNT_DETACH);
        if (!path.empty()) ::rmdir(path.c_str());
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }
    std::string file(const std::string& name) const { return path + "/" + name; }

    std::string path;

private:
    bool mounted_ = false;
    std::string why_;
};

// Writes zeros into `path` until the file system refuses more. Returns the
// bytes that fit; errno is the refusal's.
std::size_t fillUp(const std::string& path, int& refusal) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    refusal = fd < 0 ? errno : 0;
    if (fd < 0) return 0;
    const std::string block(4096, '\0');
    std::size_t total = 0;
    for (;;) {
        const ssize_t n = ::write(fd, block.data(), block.size());
        if (n > 0) {
            total += std::size_t(n);
            continue;
        }
        refusal = n < 0 ? errno : ENOSPC;
        break;
    }
    ::close(fd);
    return total;
}

// Creates empty files until no inode is left.
int useUpInodes(const std::string& dir) {
    for (int i = 0;; ++i) {
        const int fd = ::open((dir + "/inode" + std::to_string(i)).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) return errno;
        ::close(fd);
    }
}

// One conversion window's full batch with every key changed from the
// defaults, as the window writes it when it closes.
WriteResult storeLength(const SettingsFile& file) {
    const kob::WindowSettings w = kob::conversionSettings(kob::lengthTable()).keys();
    auto values = kob::defaultSettings(w);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto& k = w.keys[i];
        values[i].intValue = k.type == kob::SettingType::Boolean ? 1 - k.defaultInt : k.max;
    }
    return kob::storeWindowSettings(file, w, values);
}

// Many long values: far more than a few free pages hold.
std::vector<kob::IniEntry> bulkyEntries() {
    std::vector<kob::IniEntry> e;
    for (int i = 0; i < 40; ++i) e.push_back({"Bulk", "Key" + std::to_string(i), std::string(1500, char('a' + i % 26))});
    return e;
}

const std::string kOldBytes = "[Skin]\nSkinName=Vista (internal)\n[HosszuTimer]\nIdoScroll=45\n; mine\n";

#define MOUNT_OR_SKIP(disk)                                   \
    SmallDisk disk("size=64k,nr_inodes=64,mode=0755");        \
    if (!disk.mounted()) GTEST_SKIP() << disk.why()

TEST(SettingsFullDisk, NoRoomForAByteKeepsTheOldFile) {
    MOUNT_OR_SKIP(disk);
    const std::string path = disk.file("kobaltfa.ini");
    { std::ofstream(path, std::ios::binary) << kOldBytes; }
    int refusal = 0;
    fillUp(disk.file("filler"), refusal);
    ASSERT_EQ(refusal, ENOSPC) << std::strerror(refusal);
    const int descriptors = filekit::openDescriptors();
    const SettingsFile file(path);

    const struct {
        const char* name;
        WriteResult (*write)(const SettingsFile&);
    } writes[] = {
        {"a conversion window closing", storeLength},
        {"the main window's skin name",
         [](const SettingsFile& f) { return f.write({{"Skin", "SkinName", "WEB (internal)"}}); }},
        {"a value already present and of the same length",
         [](const SettingsFile& f) { return f.write({{"HosszuTimer", "IdoScroll", "46"}}); }},
    };
    for (const auto& w : writes) {
        SCOPED_TRACE(w.name);
        const WriteResult r = w.write(file);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, "Unable to write to " + path);
        EXPECT_EQ(slurp(path), kOldBytes);
        EXPECT_EQ(entriesOf(disk.path), (std::vector<std::string>{"filler", "kobaltfa.ini"}));
        EXPECT_EQ(filekit::openDescriptors(), descriptors) << "a descriptor was left open";
    }
    // Reading needs no room: the old values are still there.
    const auto reader = file.read();
    EXPECT_EQ(reader.readString("Skin", "SkinName", ""), "Vista (internal)");
    EXPECT_EQ(reader.readInt("HosszuTimer", "IdoScroll", 30), 45);
}

TEST(SettingsFullDisk, NoRoomAndNoFileYetCreatesNothing) {
    MOUNT_OR_SKIP(disk);
    const std::string path = disk.file("kobaltfa.ini");
    int refusal = 0;
    fillUp(disk.file("filler"), refusal);
    ASSERT_EQ(refusal, ENOSPC) << std::strerror(refusal);

    const WriteResult r = storeLength(SettingsFile(path));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Unable to write to " + path);
    EXPECT_EQ(entriesOf(disk.path), std::vector<std::string>{"filler"});
}

TEST(SettingsFullDisk, DiskFillingUpHalfwayKeepsTheOldFile) {
    MOUNT_OR_SKIP(disk);
    const std::string path = disk.file("kobaltfa.ini");
    { std::ofstream(path, std::ios::binary) << kOldBytes; }
    int refusal = 0;
    const std::string filler = disk.file("filler");
    const std::size_t filled = fillUp(filler, refusal);
    ASSERT_EQ(refusal, ENOSPC) << std::strerror(refusal);
    // Two pages free: the new file starts to be written, then the disk is full.
    ASSERT_GE(filled, 8192u);
    ASSERT_EQ(::truncate(filler.c_str(), off_t(filled - 8192)), 0) << std::strerror(errno);

    const WriteResult r = SettingsFile(path).write(bulkyEntries());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Unable to write to " + path);
    EXPECT_EQ(slurp(path), kOldBytes);
    EXPECT_EQ(entriesOf(disk.path), (std::vector<std::string>{"filler", "kobaltfa.ini"}));

    // The two pages are free again: a small write fits.
    const WriteResult small = SettingsFile(path).write({{"HosszuTimer", "IdoScroll", "60"}});
    EXPECT_TRUE(small.ok) << small.message;
    EXPECT_EQ(SettingsFile(path).read().readInt("HosszuTimer", "IdoScroll", 0), 60);
    EXPECT_EQ(entriesOf(disk.path), (std::vector<std::string>{"filler", "kobaltfa.ini"}));
}

TEST(SettingsFullDisk, NoInodeLeftForTheNewFileKeepsTheOldOne) {
    MOUNT_OR_SKIP(disk);
    const std::string path = disk.file("kobaltfa.ini");
    { std::ofstream(path, std::ios::binary) << kOldBytes; }
    const int refusal = useUpInodes(disk.path);
    ASSERT_EQ(refusal, ENOSPC) << std::strerror(refusal);
    const std::vector<std::string> before = entriesOf(disk.path);

    const WriteResult r = storeLength(SettingsFile(path));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Unable to write to " + path);
    EXPECT_EQ(slurp(path), kOldBytes);
    EXPECT_EQ(entriesOf(disk.path), before);
}

TEST(SettingsFullDisk, TheSameWriteGoesThroughOnceThereIsRoom) {
    MOUNT_OR_SKIP(disk);
    const std::string path = disk.file("kobaltfa.ini");
    { std::ofstream(path, std::ios::binary) << kOldBytes; }
    int refusal = 0;
    fillUp(disk.file("filler"), refusal);
    ASSERT_EQ(refusal, ENOSPC) << std::strerror(refusal);
    const SettingsFile file(path);
    ASSERT_FALSE(storeLength(file).ok);

    ASSERT_EQ(::unlink(disk.file("filler").c_str()), 0);
    const WriteResult r = storeLength(file);
    EXPECT_TRUE(r.ok) << r.message;
    const auto reader = file.read();
    EXPECT_EQ(reader.readInt("HosszuTimer", "IdoScroll", 0), 120);
    EXPECT_EQ(reader.readInt("HosszuSpinek", "SpinNmm", 0), 50000000);
    EXPECT_FALSE(reader.readBool("HosszuCheckBoxok", "CNkm", true));
    EXPECT_EQ(reader.readString("Skin", "SkinName", ""), "Vista (internal)");  // others' keys kept
    EXPECT_NE(slurp(path).find("; mine\n"), std::string::npos);
    EXPECT_EQ(entriesOf(disk.path), std::vector<std::string>{"kobaltfa.ini"});
}

// An installed copy's first save: the preset copied into a home on the full
// disk. Nothing is made there but the folders; the preset stays.
TEST(SettingsFullDisk, NoRoomForThePerUserCopyOfThePreset) {
    MOUNT_OR_SKIP(disk);
    std::string tmpl = ::testing::TempDir() + "kobaltfa-preset-XXXXXX";
    const std::string etc = ::mkdtemp(tmpl.data());
    ::mkdir((etc + "/kobaltfa").c_str(), 0755);
    const std::string preset = etc + "/kobaltfa/kobaltfa.ini";
    { std::ofstream(preset, std::ios::binary) << kOldBytes; }
    ::mkdir(disk.file("home").c_str(), 0755);
    ::mkdir(disk.file("home/.config").c_str(), 0700);
    ::mkdir(disk.file("home/.config/kobaltfa").c_str(), 0700);
    int refusal = 0;
    fillUp(disk.file("filler"), refusal);
    ASSERT_EQ(refusal, ENOSPC) << std::strerror(refusal);

    const SettingsFile file(kob::settingsLocation("/usr/bin/kobaltfa", {disk.file("home"), "", etc}, true));
    const WriteResult r = storeLength(file);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Unable to write to " + disk.file("home/.config/kobaltfa/kobaltfa.ini"));
    EXPECT_EQ(entriesOf(disk.file("home/.config/kobaltfa")), std::vector<std::string>{});
    EXPECT_EQ(slurp(preset), kOldBytes);
    // Still read from the preset.
    EXPECT_EQ(file.read().readInt("HosszuTimer", "IdoScroll", 30), 45);

    ASSERT_EQ(::unlink(disk.file("filler").c_str()), 0);
    EXPECT_TRUE(storeLength(file).ok);
    EXPECT_EQ(file.read().readInt("HosszuTimer", "IdoScroll", 30), 120);
    EXPECT_EQ(file.read().readString("Skin", "SkinName", ""), "Vista (internal)");
    ::unlink(preset.c_str());
    ::rmdir((etc + "/kobaltfa").c_str());
    ::rmdir(etc.c_str());
}

}  // namespace
