// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Where a copy of the program keeps its settings file, on Windows.
//
// A portable copy keeps `kobaltfa.ini` beside the executable. An installed
// copy (the installer lays the marker `kobaltfa.installed` beside the
// executable) keeps the pupil's own `%APPDATA%\Kobaltfa\kobaltfa.ini`, reads
// the administrator's preset `%PROGRAMDATA%\Kobaltfa\kobaltfa.ini` until the
// pupil's file exists, and never writes in its install folder. Paths are
// UTF-8 here and wide at the system's calls, with Windows' backslashes.
#include <windows.h>

#include "settings/settings_file.h"
#include "settings/wide_path.h"

namespace kob {

namespace {

std::string native(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Absolute: a drive ("C:\...") or a share ("\\server\...").
bool absolute(const std::string& p) {
    return (p.size() >= 3 && p[1] == ':' && (p[2] == '\\' || p[2] == '/')) ||
           (p.size() >= 2 && (p[0] == '\\' || p[0] == '/') && (p[1] == '\\' || p[1] == '/'));
}

std::string joined(const std::string& folder, const std::string& name) {
    return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

const char* kRelativeFile = "Kobaltfa\\kobaltfa.ini";

std::string environmentValue(const wchar_t* name) {
    const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) return {};
    std::wstring v(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(name, v.data(), n);
    if (got == 0 || got >= n) return {};
    v.resize(got);
    return fromWide(v);
}

}  // namespace

bool isInstalledExecutable(const std::string& exePath, const std::string& markerName) {
    const DWORD attrs = GetFileAttributesW(toWide(joined(native(folderOf(exePath)), markerName)).c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

bool isInstalledExecutable(const std::string& exePath) {
    return isInstalledExecutable(exePath, "kobaltfa.installed");
}

SettingsLocation settingsLocation(const std::string& exePath, const SettingsEnvironment& env) {
    return settingsLocation(exePath, env, isInstalledExecutable(exePath));
}

SettingsLocation settingsLocation(const std::string& exePathIn, const SettingsEnvironment& env, bool installed) {
    const std::string exePath = native(exePathIn);
    if (!installed) return SettingsLocation::portable(iniPathForExecutable(exePath));

    SettingsLocation loc;
    loc.installed = true;
    loc.createFolders = true;
    // Nothing is written in the install folder or below it.
    loc.refusedRoot = folderOf(exePath);
    if (absolute(env.appData)) {
        loc.writePath = joined(native(env.appData), kRelativeFile);
        loc.readPaths.push_back(loc.writePath);
    } else {
        // No profile folder to write to: every save is refused, and says
        // where it would have gone.
        loc.writePath = "%APPDATA%\\" + std::string(kRelativeFile);
    }
    if (absolute(env.programData)) loc.readPaths.push_back(joined(native(env.programData), kRelativeFile));
    return loc;
}

SettingsEnvironment settingsEnvironmentFromProcess() {
    SettingsEnvironment env;
    env.appData = environmentValue(L"APPDATA");
    env.programData = environmentValue(L"PROGRAMDATA");
    return env;
}

}  // namespace kob
