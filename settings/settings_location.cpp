// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Where a copy of the program keeps its settings file. Plain C++.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "settings/settings_file.h"

#ifndef KOBALTFA_BIN_TO_DATA
#define KOBALTFA_BIN_TO_DATA "../share"
#endif

namespace kob {

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool absolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

std::string joined(const std::string& folder, const std::string& name) {
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

const char* kRelativeFile = "kobaltfa/kobaltfa.ini";

}  // namespace

bool isInstalledExecutable(const std::string& exePath, const std::string& binToData) {
    std::string data = folderOf(exePath);
    if (!binToData.empty()) data = joined(data, binToData);
    struct stat st {};
    return ::stat(joined(data, "kobaltfa/installed").c_str(), &st) == 0;
}

bool isInstalledExecutable(const std::string& exePath) {
    return isInstalledExecutable(exePath, KOBALTFA_BIN_TO_DATA);
}

SettingsLocation settingsLocation(const std::string& exePath, const SettingsEnvironment& env) {
    return settingsLocation(exePath, env, isInstalledExecutable(exePath));
}

SettingsLocation settingsLocation(const std::string& exePath, const SettingsEnvironment& env, bool installed) {
    if (!installed) return SettingsLocation::portable(iniPathForExecutable(exePath));

    SettingsLocation loc;
    loc.installed = true;
    loc.createFolders = true;
    // The prefix: the folder above the executable's folder (/usr for
    // /usr/bin/kobaltfa).
    loc.refusedRoot = folderOf(folderOf(exePath));

    std::string configHome;
    if (absolute(env.xdgConfigHome)) {
        configHome = env.xdgConfigHome;
    } else if (absolute(env.home)) {
        configHome = joined(env.home, ".config");
    }
    if (configHome.empty()) {
        // No home to write to: every save is refused, and says where it
        // would have gone.
        loc.writePath = "~/.config/" + std::string(kRelativeFile);
    } else {
        loc.writePath = joined(configHome, kRelativeFile);
        loc.readPaths.push_back(loc.writePath);
    }

    std::vector<std::string> dirs;
    if (env.xdgConfigDirs.empty()) {
        dirs.push_back("/etc/xdg");
    } else {
        std::size_t from = 0;
        for (;;) {
            const std::size_t colon = env.xdgConfigDirs.find(':', from);
            const std::string d = env.xdgConfigDirs.substr(from, colon == std::string::npos ? std::string::npos
                                                                                            : colon - from);
            if (absolute(d)) dirs.push_back(d);
            if (colon == std::string::npos) break;
            from = colon + 1;
        }
    }
    for (const std::string& d : dirs) loc.readPaths.push_back(joined(d, kRelativeFile));
    return loc;
}

SettingsEnvironment settingsEnvironmentFromProcess() {
    auto get = [](const char* name) {
        const char* v = std::getenv(name);
        return v ? std::string(v) : std::string();
    };
    SettingsEnvironment env;
    env.home = get("HOME");
    env.xdgConfigHome = get("XDG_CONFIG_HOME");
    env.xdgConfigDirs = get("XDG_CONFIG_DIRS");
    if (!absolute(env.home)) {
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) env.home = pw->pw_dir;
    }
    return env;
}

}  // namespace kob
