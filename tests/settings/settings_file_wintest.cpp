// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings file on Windows: where it lies, its line endings, Unicode
// paths, and every refusal leaving the old file whole.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "settings/settings_file.h"
#include "settings/wide_path.h"

namespace {

using kob::IniEntry;
using kob::SettingsFile;

// A fresh folder under %TEMP% (named with `name`, which may hold accents),
// removed with everything in it.
struct Folder {
    explicit Folder(const std::string& name) {
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        path = kob::fromWide(tmp) + "kobaltfa-" + std::to_string(GetCurrentProcessId()) + "-" + name;
        CreateDirectoryW(kob::toWide(path).c_str(), nullptr);
    }
    ~Folder() {
        // Read-only files would stop the removal.
        const std::wstring w = kob::toWide(path);
        std::error_code ec;
        for (const auto& e : std::filesystem::recursive_directory_iterator(w, ec))
            SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(w, ec);
    }
    std::string file(const std::string& name) const { return path + "\\" + name; }
    std::string path;
};

std::string slurp(const std::string& path) {
    std::ifstream in(std::filesystem::path(kob::toWide(path)), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void spit(const std::string& path, const std::string& bytes) {
    std::ofstream(std::filesystem::path(kob::toWide(path)), std::ios::binary) << bytes;
}

const std::vector<IniEntry> kSkin{{"Skin", "SkinName", "Vista (internal)"}};

TEST(WindowsSettingsFile, NewLinesOfANewFileEndInCrlfAndOldLinesKeepTheirs) {
    Folder dir("eol");
    SettingsFile fresh(dir.file("kobaltfa.ini"));
    ASSERT_TRUE(fresh.write(kSkin).ok);
    EXPECT_EQ(slurp(fresh.path()), "[Skin]\r\nSkinName=Vista (internal)\r\n");
    ASSERT_TRUE(fresh.write({{"OsszeTimer", "IdoScroll", "45"}}).ok);
    EXPECT_EQ(slurp(fresh.path()), "[Skin]\r\nSkinName=Vista (internal)\r\n[OsszeTimer]\r\nIdoScroll=45\r\n");
    EXPECT_EQ(fresh.read().readInt("ossZetimer", "idoscroll", 0), 45);

    SettingsFile unix(dir.file("lf.ini"));
    spit(unix.path(), "; kept\n[Skin]\nSkinName=WEB (internal)\n");
    ASSERT_TRUE(unix.write(kSkin).ok);
    EXPECT_EQ(slurp(unix.path()), "; kept\n[Skin]\nSkinName=Vista (internal)\n");
    // No temporary or other file is left beside them but the writers' lock.
    WIN32_FIND_DATAW f{};
    HANDLE h = FindFirstFileW(kob::toWide(dir.path + "\\*.tmp*").c_str(), &f);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
}

TEST(WindowsSettingsFile, AUnicodePathIsReadAndWritten) {
    Folder dir("Ödön Kovács");
    const std::string exe = dir.file("kobaltfa.exe");
    const SettingsFile file(kob::settingsLocation(exe, {}, false));
    EXPECT_EQ(file.path(), dir.file("kobaltfa.ini"));
    ASSERT_TRUE(file.write({{"Skin", "SkinName", "Árvíztűrő tükörfúrógép"}}).ok);
    EXPECT_EQ(file.read().readString("Skin", "SkinName", ""), "Árvíztűrő tükörfúrógép");
}

// Each refusal says "Unable to write to <path>" and leaves the file as it
// was; the file stays readable.
TEST(WindowsSettingsFile, RefusalsKeepTheOldFileWhole) {
    Folder dir("refusals");
    const std::string old = "[Skin]\r\nSkinName=WEB (internal)\r\n";
    struct Case {
        const char* what;
        std::function<void(const std::string& path)> arrange;
        std::function<void()> release;
    };
    HANDLE held = INVALID_HANDLE_VALUE;
    const Case cases[] = {
        {"read-only attribute",
         [](const std::string& p) { SetFileAttributesW(kob::toWide(p).c_str(), FILE_ATTRIBUTE_READONLY); },
         [&] { SetFileAttributesW(kob::toWide(dir.file("k1.ini")).c_str(), FILE_ATTRIBUTE_NORMAL); }},
        {"open elsewhere without sharing",
         [&](const std::string& p) {
             held = CreateFileW(kob::toWide(p).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
             ASSERT_NE(held, INVALID_HANDLE_VALUE);
         },
         [&] { CloseHandle(held); }},
        {"writers' lock held elsewhere",
         [&](const std::string& p) {
             held = CreateFileW(kob::toWide(p + ".lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS, 0,
                                nullptr);
             OVERLAPPED at{};
             ASSERT_TRUE(LockFileEx(held, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at));
         },
         [&] { CloseHandle(held); }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SettingsFile file(dir.file("k" + std::to_string(++n) + ".ini"));
        spit(file.path(), old);
        c.arrange(file.path());
        const kob::WriteResult r = file.write(kSkin);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, "Unable to write to " + file.path());
        c.release();
        EXPECT_EQ(slurp(file.path()), old);
        EXPECT_EQ(file.read().readString("Skin", "SkinName", ""), "WEB (internal)");
        EXPECT_TRUE(file.write(kSkin).ok) << "writes again once released";
    }
}

TEST(WindowsSettingsFile, ALinkPlantedAsTheFileIsNeitherFollowedNorWritten) {
    Folder dir("link");
    const std::string elsewhere = dir.file("elsewhere.ini");
    spit(elsewhere, "[Skin]\r\nSkinName=WEB (internal)\r\n");
    const SettingsFile file(dir.file("kobaltfa.ini"));
    // Wine 8 answers the call without making a link (and shows Unix links
    // as plain files): there the case needs a real Windows PC.
    const DWORD attrs = CreateSymbolicLinkW(kob::toWide(file.path()).c_str(), kob::toWide(elsewhere).c_str(),
                                            SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)
                            ? GetFileAttributesW(kob::toWide(file.path()).c_str())
                            : INVALID_FILE_ATTRIBUTES;
    if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "this system makes no symbolic links (Wine); a real Windows PC runs this case";
    EXPECT_EQ(file.read().readString("Skin", "SkinName", "default"), "default");
    EXPECT_FALSE(file.write(kSkin).ok);
    EXPECT_EQ(slurp(elsewhere), "[Skin]\r\nSkinName=WEB (internal)\r\n");
}

// An installed copy: the pupil's file in %APPDATA%, seeded from the
// administrator's preset in %PROGRAMDATA% on the first save; nothing is
// written in the install folder.
TEST(WindowsSettingsFile, AnInstalledCopyKeepsThePupilsFileSeededFromThePreset) {
    Folder dir("installed");
    const std::string install = dir.file("Program Files");
    CreateDirectoryW(kob::toWide(install).c_str(), nullptr);
    const std::string exe = install + "\\kobaltfa.exe";
    EXPECT_FALSE(kob::isInstalledExecutable(exe));
    spit(install + "\\kobaltfa.installed", "");
    ASSERT_TRUE(kob::isInstalledExecutable(exe));

    kob::SettingsEnvironment env;
    env.appData = dir.file("Ödön\\AppData\\Roaming");
    env.programData = dir.file("ProgramData");
    CreateDirectoryW(kob::toWide(env.programData).c_str(), nullptr);
    CreateDirectoryW(kob::toWide(env.programData + "\\Kobaltfa").c_str(), nullptr);
    spit(env.programData + "\\Kobaltfa\\kobaltfa.ini", "[OsszeTimer]\r\nIdoScroll=77\r\n");

    const SettingsFile file(kob::settingsLocation(exe, env));
    EXPECT_EQ(file.path(), env.appData + "\\Kobaltfa\\kobaltfa.ini");
    EXPECT_EQ(file.read().readInt("OsszeTimer", "IdoScroll", 30), 77);
    ASSERT_TRUE(file.write(kSkin).ok);
    EXPECT_EQ(slurp(file.path()), "[OsszeTimer]\r\nIdoScroll=77\r\n[Skin]\r\nSkinName=Vista (internal)\r\n");
    EXPECT_EQ(slurp(env.programData + "\\Kobaltfa\\kobaltfa.ini"), "[OsszeTimer]\r\nIdoScroll=77\r\n");

    // Pointed into its own folder, it refuses.
    kob::SettingsLocation inside = kob::settingsLocation(exe, env);
    inside.writePath = install + "\\kobaltfa.ini";
    EXPECT_FALSE(SettingsFile(inside).write(kSkin).ok);
    EXPECT_EQ(GetFileAttributesW(kob::toWide(inside.writePath).c_str()), INVALID_FILE_ATTRIBUTES);
}

// A disk that fills up during the temporary's write: the old file stays and
// no temporary is left. The test runner lays a tiny drive for it and names
// its folder in KOBALTFA_SMALL_DRIVE.
TEST(WindowsSettingsFile, AFullDiskLeavesTheOldFile) {
    const char* drive = std::getenv("KOBALTFA_SMALL_DRIVE");
    if (!drive || !*drive) GTEST_SKIP() << "KOBALTFA_SMALL_DRIVE names no small drive";
    const SettingsFile file(std::string(drive) + "\\kobaltfa.ini");
    const std::string old = "[Skin]\r\nSkinName=WEB (internal)\r\n";
    spit(file.path(), old);
    // Fill the drive to the last few bytes.
    {
        std::ofstream fill(std::filesystem::path(kob::toWide(std::string(drive) + "\\fill")), std::ios::binary);
        const std::string block(4096, 'x');
        while (fill.write(block.data(), block.size())) {}
    }
    const std::string big(64 * 1024, 'v');
    const kob::WriteResult r = file.write({{"Skin", "SkinName", big}});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(slurp(file.path()), old);
    WIN32_FIND_DATAW f{};
    HANDLE h = FindFirstFileW(kob::toWide(std::string(drive) + "\\.kobaltfa.ini.tmp*").c_str(), &f);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE) << "a temporary was left";
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    DeleteFileW(kob::toWide(std::string(drive) + "\\fill").c_str());
    DeleteFileW(kob::toWide(file.path()).c_str());
}

}  // namespace
