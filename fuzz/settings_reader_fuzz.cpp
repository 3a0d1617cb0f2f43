// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Feeds arbitrary bytes to the settings file reader and editor and checks
// what must always hold: parsing keeps every byte, lookups and integer
// reading never fail, values set read back exactly after a save and a fresh
// parse, and keys that were not touched keep their values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_file.h"

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

// A section or key name made from input bytes, kept to characters that a
// name can hold on its own line.
std::string nameFrom(std::string_view bytes, std::size_t at) {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";
    std::string name = "F";
    for (std::size_t i = at; i < bytes.size() && i < at + 6; ++i)
        name.push_back(kChars[static_cast<unsigned char>(bytes[i]) % (sizeof kChars - 1)]);
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kob::IniDocument doc = kob::IniDocument::parse(bytes);
    require(doc.serialize() == bytes);

    // Lookups of the program's own keys and integer reading of whatever
    // they hold; a value is never longer than a string may be.
    const std::pair<const char*, const char*> lookups[] = {
        {"Skin", "SkinName"}, {"OsszeTimer", "IdoScroll"}, {"HosszuSpinek", "SpinKm"}, {"TeruletRadioButtonok", "RBHa"}};
    for (const auto& [section, key] : lookups) {
        if (const auto v = doc.value(section, key)) {
            require(v->size() <= 2047);
            const int a = kob::parseProfileInt(*v, 30);
            const int b = kob::parseProfileInt(*v, -30);
            require(a == b || (a == 30 && b == -30));  // the default only when it is no integer
        }
    }
    (void)kob::parseProfileInt(bytes.substr(0, 64), 0);

    // Untouched keys keep their values through the edits below.
    const std::optional<std::string> skin = doc.value("Skin", "SkinName");
    const std::optional<std::string> spin = doc.value("HosszuSpinek", "SpinKm");

    const std::string section = nameFrom(bytes, 0);
    const std::string key = nameFrom(bytes, 6);
    const std::string value = std::to_string(kob::parseProfileInt(bytes.substr(0, 12), -1));
    doc.set("OsszeTimer", "IdoScroll", "45");
    doc.set(section, key, value);
    doc.set("OsszeRadioButtonok", "RB2", "0");

    const std::string saved = doc.serialize();
    const kob::IniDocument again = kob::IniDocument::parse(saved);
    require(again.serialize() == saved);
    require(again.value("OsszeTimer", "IdoScroll") == std::optional<std::string>("45"));
    require(again.value("osszetimer", "IDOSCROLL") == std::optional<std::string>("45"));
    require(again.value(section, key) == value);
    require(again.value("OsszeRadioButtonok", "RB2") == std::optional<std::string>("0"));
    require(kob::parseProfileInt(*again.value("OsszeTimer", "IdoScroll"), 0) == 45);
    require(again.value("Skin", "SkinName") == skin);
    require(again.value("HosszuSpinek", "SpinKm") == spin);
    return 0;
}
