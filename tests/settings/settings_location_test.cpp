// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Where the settings file lies: beside a portable copy, per user for an
// installed one, with an administrator's preset; and that an installed copy
// never writes into its own install prefix.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "arith/arith_settings.h"
#include "support/files.h"

namespace {

using filekit::slurp;

using kob::SettingsEnvironment;
using kob::SettingsFile;
using kob::SettingsLocation;

void spit(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// Every file below `dir`, as paths relative to it.
std::vector<std::string> filesBelow(const std::string& dir) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir, ec))
        if (!e.is_directory()) out.push_back(std::filesystem::relative(e.path(), dir).string());
    std::sort(out.begin(), out.end());
    return out;
}

// A fake installation: <root>/prefix/bin/kobaltfa with the install marker
// at <root>/prefix/share/kobaltfa/installed, a home and an /etc/xdg.
struct FakeInstall {
    FakeInstall() {
        std::string tmpl = ::testing::TempDir() + "kobaltfa-install-XXXXXX";
        root = ::mkdtemp(tmpl.data());
        prefix = root + "/prefix";
        exe = prefix + "/bin/kobaltfa";
        spit(exe, "#!/bin/false\n");
        spit(prefix + "/share/kobaltfa/installed", "");
        home = root + "/home/pupil";
        std::filesystem::create_directories(home);
        etc = root + "/etc/xdg";
        std::filesystem::create_directories(etc);
    }
    ~FakeInstall() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    SettingsEnvironment env() const { return {home, "", etc}; }
    SettingsFile file() const { return SettingsFile(kob::settingsLocation(exe, env())); }
    std::string own() const { return home + "/.config/kobaltfa/kobaltfa.ini"; }
    std::string preset() const { return etc + "/kobaltfa/kobaltfa.ini"; }

    std::string root, prefix, exe, home, etc;
};

TEST(SettingsLocation, InstalledIsToldByTheMarkerOnly) {
    FakeInstall inst;
    EXPECT_TRUE(kob::isInstalledExecutable(inst.exe, "../share"));
    EXPECT_TRUE(kob::isInstalledExecutable(inst.exe));  // this build's own bindir-to-datadir path
    EXPECT_FALSE(kob::isInstalledExecutable(inst.exe, "../lib"));
    // The same executable unpacked elsewhere is portable.
    spit(inst.root + "/stick/kobaltfa", "");
    EXPECT_FALSE(kob::isInstalledExecutable(inst.root + "/stick/kobaltfa"));
    const SettingsLocation stick = kob::settingsLocation(inst.root + "/stick/kobaltfa", inst.env());
    EXPECT_FALSE(stick.installed);
    EXPECT_EQ(stick.writePath, inst.root + "/stick/kobaltfa.ini");
    EXPECT_EQ(stick.readPaths, std::vector<std::string>{stick.writePath});
    EXPECT_EQ(stick.refusedRoot, "");
}

TEST(SettingsLocation, PathsOfAnInstalledCopyFollowTheXdgRules) {
    const std::string exe = "/usr/bin/kobaltfa";
    const struct {
        const char* name;
        SettingsEnvironment env;
        std::string write;
        std::vector<std::string> read;
    } cases[] = {
        {"defaults", {"/home/anna", "", ""}, "/home/anna/.config/kobaltfa/kobaltfa.ini",
         {"/home/anna/.config/kobaltfa/kobaltfa.ini", "/etc/xdg/kobaltfa/kobaltfa.ini"}},
        {"config home given", {"/home/anna", "/srv/cfg/anna", ""}, "/srv/cfg/anna/kobaltfa/kobaltfa.ini",
         {"/srv/cfg/anna/kobaltfa/kobaltfa.ini", "/etc/xdg/kobaltfa/kobaltfa.ini"}},
        {"relative config home ignored", {"/home/anna", "cfg", ""}, "/home/anna/.config/kobaltfa/kobaltfa.ini",
         {"/home/anna/.config/kobaltfa/kobaltfa.ini", "/etc/xdg/kobaltfa/kobaltfa.ini"}},
        {"config dirs in order, relative and empty ones ignored",
         {"/home/anna", "", "/school/xdg::rel/xdg:/etc/xdg/"}, "/home/anna/.config/kobaltfa/kobaltfa.ini",
         {"/home/anna/.config/kobaltfa/kobaltfa.ini", "/school/xdg/kobaltfa/kobaltfa.ini",
          "/etc/xdg/kobaltfa/kobaltfa.ini"}},
        {"only relative config dirs: none", {"/home/anna", "", "rel"}, "/home/anna/.config/kobaltfa/kobaltfa.ini",
         {"/home/anna/.config/kobaltfa/kobaltfa.ini"}},
        {"no home, no config home: nothing to write to", {"", "", ""}, "~/.config/kobaltfa/kobaltfa.ini",
         {"/etc/xdg/kobaltfa/kobaltfa.ini"}},
        {"relative home ignored", {"anna", "", ""}, "~/.config/kobaltfa/kobaltfa.ini",
         {"/etc/xdg/kobaltfa/kobaltfa.ini"}},
    };
    for (const auto& c : cases) {
        const SettingsLocation loc = kob::settingsLocation(exe, c.env, true);
        EXPECT_TRUE(loc.installed) << c.name;
        EXPECT_EQ(loc.writePath, c.write) << c.name;
        EXPECT_EQ(loc.readPaths, c.read) << c.name;
        EXPECT_EQ(loc.refusedRoot, "/usr") << c.name;
        EXPECT_TRUE(loc.createFolders) << c.name;
    }
    // Without a home the save is refused, naming where it would have gone.
    const auto r = SettingsFile(kob::settingsLocation(exe, {"", "", ""}, true)).write({{"A", "K", "1"}});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Unable to write to ~/.config/kobaltfa/kobaltfa.ini");
}

TEST(SettingsLocation, NewAccountSeesThePresetAndItsFirstSaveCopiesIt) {
    FakeInstall inst;
    const std::string preset =
        "; set by the school\r\n[OsszeTimer]\r\nIdoScroll=90\r\n[Skin]\r\nSkinName=Smoky (internal)\r\n"
        "[School]\r\nRoom=12\r\n";
    spit(inst.preset(), preset);
    const SettingsFile file = inst.file();
    EXPECT_EQ(file.readPath(), inst.preset());
    EXPECT_EQ(kob::loadArithSettings(file, kob::additionData()).timeLimit, 90);
    EXPECT_EQ(file.read().readString("Skin", "SkinName", ""), "Smoky (internal)");
    EXPECT_FALSE(exists(inst.home + "/.config")) << "reading creates nothing";

    ASSERT_TRUE(file.write({{"OsszeTimer", "IdoScroll", "45"}}).ok);
    // Every byte of the preset kept, the edit applied, in the preset's line ends.
    EXPECT_EQ(slurp(inst.own()),
              "; set by the school\r\n[OsszeTimer]\r\nIdoScroll=45\r\n[Skin]\r\nSkinName=Smoky (internal)\r\n"
              "[School]\r\nRoom=12\r\n");
    EXPECT_EQ(slurp(inst.preset()), preset) << "the preset is never written";
    struct stat st {};
    ASSERT_EQ(::stat((inst.home + "/.config/kobaltfa").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat((inst.home + "/.config").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(file.readPath(), inst.own());

    // From now on the pupil's file counts, also after the preset changes.
    spit(inst.preset(), "[OsszeTimer]\nIdoScroll=10\n[Skin]\nSkinName=WEB (internal)\n");
    EXPECT_EQ(file.read().readInt("OsszeTimer", "IdoScroll", 0), 45);
    EXPECT_EQ(file.read().readString("Skin", "SkinName", ""), "Smoky (internal)");
    EXPECT_EQ(filesBelow(inst.prefix), (std::vector<std::string>{"bin/kobaltfa", "share/kobaltfa/installed"}));
}

TEST(SettingsLocation, PupilsFileWinsOverThePresetAndTheFirstPresetFound) {
    FakeInstall inst;
    const std::string school = inst.root + "/school/xdg";
    spit(school + "/kobaltfa/kobaltfa.ini", "[OsszeTimer]\nIdoScroll=70\n");
    spit(inst.preset(), "[OsszeTimer]\nIdoScroll=90\n");
    SettingsEnvironment env = inst.env();
    env.xdgConfigDirs = school + ":" + inst.etc;
    const SettingsFile file(kob::settingsLocation(inst.exe, env));
    EXPECT_EQ(file.read().readInt("OsszeTimer", "IdoScroll", 0), 70);
    // A folder of the list without the file is passed over.
    env.xdgConfigDirs = inst.root + "/nowhere:" + inst.etc;
    EXPECT_EQ(SettingsFile(kob::settingsLocation(inst.exe, env)).read().readInt("OsszeTimer", "IdoScroll", 0), 90);

    spit(inst.own(), "[OsszeTimer]\nIdoScroll=20\n");
    EXPECT_EQ(file.read().readInt("OsszeTimer", "IdoScroll", 0), 20);
    // An own file without the key does not fall back to the preset's value.
    spit(inst.own(), "[Skin]\nSkinName=Vista (internal)\n");
    EXPECT_EQ(file.read().readInt("OsszeTimer", "IdoScroll", 30), 30);
    ASSERT_TRUE(file.write({{"OsszeTimer", "IdoScroll", "33"}}).ok);
    EXPECT_EQ(slurp(inst.own()), "[Skin]\nSkinName=Vista (internal)\n[OsszeTimer]\nIdoScroll=33\n");
}

TEST(SettingsLocation, NoPresetMeansDefaultsAndAFreshFile) {
    FakeInstall inst;
    const SettingsFile file = inst.file();
    EXPECT_EQ(file.readPath(), "");
    EXPECT_EQ(file.read().readInt("OsszeTimer", "IdoScroll", 30), 30);
    ASSERT_TRUE(file.write({{"Skin", "SkinName", "WEB (internal)"}}).ok);
    EXPECT_EQ(slurp(inst.own()), "[Skin]\nSkinName=WEB (internal)\n");
}

// The superuser is bound by no permission: only the rule keeps an installed
// copy out of its prefix.
TEST(SettingsLocation, InstalledCopyNeverWritesIntoItsPrefix) {
    FakeInstall inst;
    const std::vector<std::string> pristine = filesBelow(inst.prefix);
    const struct {
        const char* name;
        SettingsEnvironment env;
    } cases[] = {
        {"home inside the prefix", {inst.prefix + "/home/root", "", inst.etc}},
        {"config home inside the prefix", {inst.home, inst.prefix + "/share", inst.etc}},
        {"config home is the prefix", {inst.home, inst.prefix, inst.etc}},
        {"config home reaching it through ..", {inst.home, inst.root + "/home/../prefix/etc", inst.etc}},
        {"config home reaching it through a link", {inst.home, inst.root + "/link/etc", inst.etc}},
    };
    ::symlink(inst.prefix.c_str(), (inst.root + "/link").c_str());
    spit(inst.preset(), "[Mine]\nkeep=1\n");
    for (const auto& c : cases) {
        const SettingsFile file(kob::settingsLocation(inst.exe, c.env));
        const auto r = file.write({{"Skin", "SkinName", "WEB (internal)"}});
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.message, "Unable to write to " + file.path()) << c.name;
        EXPECT_EQ(filesBelow(inst.prefix), pristine) << c.name;
    }
    // An ordinary home beside it works, and the file beside the executable
    // (a portable copy's place) is never made.
    ASSERT_TRUE(inst.file().write({{"Skin", "SkinName", "WEB (internal)"}}).ok);
    EXPECT_FALSE(exists(inst.prefix + "/bin/kobaltfa.ini"));
    EXPECT_EQ(filesBelow(inst.prefix), pristine);
}

// The refusals and injected faults of the portable file, on the per-user
// file of an installed copy: the message names the per-user path, the
// preset and the user's old file stay as they were.
TEST(SettingsLocation, FailedSavesOnThePerUserFileChangeNothing) {
    FakeInstall inst;
    spit(inst.preset(), "[Mine]\nkeep=me\n");
    const SettingsFile file = inst.file();
    const std::vector<kob::IniEntry> entries = {{"OsszeTimer", "IdoScroll", "60"}, {"New", "K", "v"}};
    const filekit::Faults faults[] = {{0, false, false}, {5, false, false}, {SIZE_MAX, true, false},
                                      {SIZE_MAX, false, true}};
    for (const auto& f : faults) {
        filekit::FaultyOps ops(f);
        const auto r = SettingsFile(file.location(), ops).write(entries);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, "Unable to write to " + inst.own());
        EXPECT_FALSE(exists(inst.own())) << "no half-made per-user file";
        EXPECT_EQ(std::filesystem::is_empty(inst.home + "/.config/kobaltfa"), true) << "no temporary left";
    }
    ASSERT_TRUE(file.write({{"OsszeTimer", "IdoScroll", "61"}}).ok);
    const std::string good = slurp(inst.own());
    for (const auto& f : faults) {
        filekit::FaultyOps ops(f);
        EXPECT_FALSE(SettingsFile(file.location(), ops).write(entries).ok);
        EXPECT_EQ(slurp(inst.own()), good);
    }
    EXPECT_EQ(slurp(inst.preset()), "[Mine]\nkeep=me\n");
    EXPECT_EQ(good, "[Mine]\nkeep=me\n[OsszeTimer]\nIdoScroll=61\n");

    // A file where the folder should be.
    FakeInstall blocked;
    spit(blocked.home + "/.config", "not a folder");
    const auto r = blocked.file().write(entries);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Unable to write to " + blocked.own());
    EXPECT_EQ(slurp(blocked.home + "/.config"), "not a folder");
}

}  // namespace
