// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings file's own methods, the same on every platform: which file a
// read takes, the entries still queued laid over it, the background saver,
// and a save as one edit of the file's text. Finding, reading and publishing
// the bytes is the platform's (settings_file_posix.cpp, settings_file_win.cpp).
#include "settings/settings_file.h"

#include "settings/file_platform.h"
#include "settings/settings_saver.h"

namespace kob {

SettingsLocation SettingsLocation::portable(const std::string& path) {
    SettingsLocation loc;
    loc.writePath = path;
    loc.readPaths = {path};
    return loc;
}

SettingsFile::SettingsFile(std::string path) : loc_(SettingsLocation::portable(path)) {}
SettingsFile::SettingsFile(SettingsLocation location) : loc_(std::move(location)) {}
SettingsFile::SettingsFile(std::string path, FileOps& ops) : loc_(SettingsLocation::portable(path)), ops_(&ops) {}
SettingsFile::SettingsFile(SettingsLocation location, FileOps& ops) : loc_(std::move(location)), ops_(&ops) {}
// The saver goes first (it is the last member): what it still has queued is
// written with the rest still there.
SettingsFile::~SettingsFile() = default;

std::string SettingsFile::readPath() const {
    for (std::size_t i = 0; i < loc_.readPaths.size(); ++i) {
        const std::string& p = loc_.readPaths[i];
        if (fileplatform::exists(p, i == 0 && p == loc_.writePath)) return p;
    }
    return {};
}

SettingsFile::Reader SettingsFile::read() const {
    // The entries not yet written are taken first: one that lands meanwhile
    // is then in the file too, with the same value.
    const std::vector<IniEntry> pending = saver_ ? saver_->pending() : std::vector<IniEntry>();
    Reader r;
    IniDocument::Buffer bytes;
    const std::string path = readPath();
    if (!path.empty() && (path == loc_.writePath ? fileplatform::readOwn(loc_, ops_, bytes)
                                                 : fileplatform::readPreset(path, bytes)))
        r.doc_ = IniDocument::adopt(std::move(bytes));
    for (const IniEntry& e : pending) r.doc_.set(e.section, e.key, e.value);
    return r;
}

std::string SettingsFile::Reader::readString(std::string_view section, std::string_view key,
                                             std::string_view def) const {
    if (auto v = doc_.value(section, key)) return std::move(*v);
    return std::string(def);
}

int SettingsFile::Reader::readInt(std::string_view section, std::string_view key, int def) const {
    if (auto v = doc_.value(section, key)) return parseProfileInt(*v, def);
    return def;
}

bool SettingsFile::Reader::readBool(std::string_view section, std::string_view key, bool def) const {
    return readInt(section, key, def ? 1 : 0) != 0;
}

void SettingsFile::saveInBackground(std::function<void()> refusalWaiting) {
    saver_ = std::make_unique<SettingsSaver>([this](const std::vector<IniEntry>& e) { return writeNow(e); },
                                             std::move(refusalWaiting));
}

WriteResult SettingsFile::write(const std::vector<IniEntry>& entries) const {
    if (!saver_) return writeNow(entries);
    saver_->save(entries);
    WriteResult queued;
    queued.queued = true;
    return queued;
}

WriteResult SettingsFile::writeNow(const std::vector<IniEntry>& entries) const {
    // A first save copies the file that was read (an administrator's
    // preset) and edits the copy. It is asked for only while the own file
    // does not exist, so the file that reads take is then the preset, if any.
    auto seed = [this] {
        IniDocument::Buffer bytes;
        const std::string p = readPath();
        if (p.empty() || p == loc_.writePath || !fileplatform::readPreset(p, bytes)) bytes = IniDocument::Buffer();
        return bytes;
    };
    auto edit = [&entries](IniDocument& doc) {
        for (const IniEntry& e : entries) doc.set(e.section, e.key, e.value);
    };
    if (fileplatform::save(loc_, ops_, edit, seed)) return {};
    return {false, "Unable to write to " + loc_.writePath};
}

}  // namespace kob
