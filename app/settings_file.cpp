// Placeholder until the real reader and writer land.
#include "app/settings_file.h"

namespace kob {
std::string iniPathForExecutable(const std::string& exePath) { return exePath + ".ini"; }
int parseProfileInt(std::string_view, int def) { return def; }
IniDocument IniDocument::parse(std::string_view) { return {}; }
std::optional<std::string> IniDocument::value(std::string_view, std::string_view) const { return {}; }
void IniDocument::set(std::string_view, std::string_view, std::string_view) {}
std::string IniDocument::serialize() const { return {}; }
SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {}
SettingsFile::Reader SettingsFile::read() const { return {}; }
std::string SettingsFile::Reader::readString(std::string_view, std::string_view, std::string_view d) const { return std::string(d); }
int SettingsFile::Reader::readInt(std::string_view, std::string_view, int d) const { return d; }
bool SettingsFile::Reader::readBool(std::string_view, std::string_view, bool d) const { return d; }
WriteResult SettingsFile::write(const std::vector<IniEntry>&) const { return {}; }
}  // namespace kob
