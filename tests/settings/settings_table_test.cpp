// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table of every window's settings, as the program's window families
// declare them: sections, defaults, ranges, the reading and writing orders,
// clamping on load, and storing by the keys' places.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "app/settings_layout.h"
#include "arith/arith_settings.h"
#include "measure/conversion_settings.h"

namespace {

using kob::SettingsFile;
using kob::SettingType;
using kob::SettingValue;
using kob::WindowSettings;

struct TempIni {
    TempIni() {
        std::string tmpl = ::testing::TempDir() + "kobaltfa-table-XXXXXX";
        dir = ::mkdtemp(tmpl.data());
        path = dir + "/kobaltfa.ini";
    }
    ~TempIni() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    void write(const std::string& text) const { std::ofstream(path, std::ios::binary) << text; }
    std::string read() const {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    std::string dir, path;
};

std::vector<std::string> keyNames(const WindowSettings& w) {
    std::vector<std::string> names;
    for (const auto& k : w.keys) names.push_back(k.key);
    return names;
}

// The place of the key named `key` in the window's reading order.
std::size_t indexOf(const WindowSettings& w, const std::string& key) {
    for (std::size_t i = 0; i < w.keys.size(); ++i)
        if (w.keys[i].key == key) return i;
    ADD_FAILURE() << w.window << " has no key " << key;
    return w.keys.size();
}

// The loaded integer of the key named `key` of window `window`.
struct Loaded {
    const WindowSettings& w;
    std::vector<SettingValue> values;
    int operator()(const std::string& key) const {
        const std::size_t i = indexOf(w, key);
        return i < values.size() ? values[i].intValue : INT_MIN;
    }
};

Loaded load(const SettingsFile& file, const char* window) {
    const WindowSettings& w = kob::windowSettings(window);
    return {w, kob::loadWindowSettings(file, w)};
}

TEST(SettingsTable, WindowsAndTheirSections) {
    const std::map<std::string, std::vector<std::string>> expected = {
        {"TForm1", {"Skin"}},
        {"TOsszeadForm", {"OsszeTimer", "OsszeRadioButtonok"}},
        {"TKivonForm", {"KivonTimer", "KivonRadioButtonok"}},
        {"TSzorzasForm", {"SzorozTimer", "SzorozRadioButtonok"}},
        {"TOsztasForm", {"OsztTimer", "OsztRadioButtonok"}},
        {"TTeruletForm", {"TeruletTimer", "TeruletSpinek", "TeruletCheckBoxok", "TeruletRadioButtonok"}},
        {"THosszuForm", {"HosszuTimer", "HosszuSpinek", "HosszuCheckBoxok", "HosszuRadioButtonok"}},
        {"TTerfogatForm", {"TerfogatTimer", "TerfogatSpinek", "TerfogatCheckBoxok", "TerfogatRadioButtonok"}},
        {"TTomegForm", {"TomegTimer", "TomegSpinek", "TomegCheckBoxok", "TomegRadioButtonok"}},
    };
    EXPECT_EQ(kob::settingsTable().size(), expected.size());
    std::set<std::string> allSections;
    for (const WindowSettings* window : kob::settingsTable()) {
        const WindowSettings& w = *window;
        ASSERT_TRUE(expected.count(w.window)) << w.window;
        std::vector<std::string> sections;
        std::set<std::string> keys;
        for (const auto& k : w.keys) {
            if (sections.empty() || sections.back() != k.section) sections.push_back(k.section);
            EXPECT_TRUE(keys.insert(k.key).second) << w.window << " repeats " << k.key;
            allSections.insert(k.section);
        }
        EXPECT_EQ(sections, expected.at(w.window)) << w.window;
        EXPECT_EQ(&kob::windowSettings(w.window), &w);

        // The writing order is a permutation of the keys.
        std::vector<int> order = w.writeOrder;
        std::sort(order.begin(), order.end());
        for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], int(i)) << w.window;
        EXPECT_EQ(order.size(), w.keys.size()) << w.window;
    }
    EXPECT_EQ(allSections.size(), 25u);
    EXPECT_TRUE(kob::windowSettings("TMertekForm").keys.empty());
}

TEST(SettingsTable, ReadingOrders) {
    using V = std::vector<std::string>;
    EXPECT_EQ(keyNames(kob::windowSettings("TForm1")), V{"SkinName"});
    EXPECT_EQ(keyNames(kob::windowSettings("TKivonForm")), (V{"IdoScroll", "RB2", "RB3", "RB4", "RB5", "RB6"}));
    EXPECT_EQ(keyNames(kob::windowSettings("TOsztasForm")),
              (V{"IdoScroll", "RB2", "RB3", "RB4", "RB5", "RB6", "RB7", "RB8", "RB9", "RB10", "RBV"}));
    EXPECT_EQ(keyNames(kob::windowSettings("TTeruletForm")),
              (V{"IdoScroll", "SpinKm", "SpinHa", "SpinNm", "SpinNdm", "SpinNcm", "SpinNmm", "CNkm", "CHa", "CNm",
                 "CNdm", "CNcm", "CNmm", "RBNkm", "RBHa", "RBNm", "RBNdm", "RBNcm", "RBNmm"}));
    EXPECT_EQ(keyNames(kob::windowSettings("TTomegForm")),
              (V{"IdoScroll", "SpinKm", "SpinNm", "SpinNdm", "SpinNcm", "SpinNmm", "CNkm", "CNm", "CNdm", "CNcm",
                 "CNmm", "RBNkm", "RBNm", "RBNdm", "RBNcm", "RBNmm"}));
}

TEST(SettingsTable, IntegerRanges) {
    const struct {
        const char* window;
        const char* key;
        int def, min, max;
    } cases[] = {
        {"TOsszeadForm", "IdoScroll", 30, 1, 120},   {"TOsztasForm", "IdoScroll", 30, 1, 120},
        {"TTeruletForm", "IdoScroll", 30, 1, 120},   {"TTeruletForm", "SpinKm", 50, 0, 100},
        {"TTeruletForm", "SpinHa", 5000, 0, 5000},   {"TTeruletForm", "SpinNm", 500000, 0, 5000000},
        {"TTeruletForm", "SpinNdm", 5000000, 0, 5000000}, {"TTeruletForm", "SpinNcm", 5000000, 0, 5000000},
        {"TTeruletForm", "SpinNmm", 5000000, 0, 5000000}, {"THosszuForm", "SpinKm", 50, 0, 1000},
        {"THosszuForm", "SpinNm", 500000, 0, 5000000},    {"THosszuForm", "SpinNmm", 5000000, 0, 50000000},
        {"TTerfogatForm", "SpinKm", 50, 0, 100},          {"TTerfogatForm", "SpinNmm", 5000000, 0, 50000000},
        {"TTomegForm", "SpinKm", 50, 0, 100},             {"TTomegForm", "SpinNdm", 5000000, 0, 5000000},
        {"TTomegForm", "SpinNmm", 5000000, 0, 50000000},
    };
    for (const auto& c : cases) {
        const auto& w = kob::windowSettings(c.window);
        const auto it = std::find_if(w.keys.begin(), w.keys.end(), [&](const auto& k) { return k.key == c.key; });
        ASSERT_NE(it, w.keys.end()) << c.window << " " << c.key;
        EXPECT_EQ(it->type, SettingType::Integer);
        EXPECT_EQ(it->defaultInt, c.def) << c.window << " " << c.key;
        EXPECT_EQ(it->min, c.min) << c.window << " " << c.key;
        EXPECT_EQ(it->max, c.max) << c.window << " " << c.key;
    }
}

TEST(SettingsTable, AbsentFileGivesTheDefaults) {
    TempIni ini;
    const SettingsFile file(ini.path);

    const auto skin = kob::loadWindowSettings(file, kob::windowSettings("TForm1"));
    ASSERT_EQ(skin.size(), 1u);
    EXPECT_EQ(skin[0].stringValue, "Aluminium (internal)");

    for (const char* w : {"TOsszeadForm", "TSzorzasForm"}) {
        const Loaded v = load(file, w);
        EXPECT_EQ(v("IdoScroll"), 30);
        EXPECT_EQ(v("RB2"), 1) << w;
        for (std::size_t i = 2; i < v.values.size(); ++i) EXPECT_EQ(v.values[i].intValue, 0) << w << " " << i;
    }

    const Loaded length = load(file, "THosszuForm");
    const std::map<std::string, int> expected = {
        {"IdoScroll", 30}, {"SpinKm", 50}, {"SpinNm", 500000}, {"SpinNdm", 5000000}, {"SpinNcm", 5000000},
        {"SpinNmm", 5000000}, {"CNkm", 1}, {"CNm", 1}, {"CNdm", 1}, {"CNcm", 1}, {"CNmm", 1}, {"RBNkm", 0},
        {"RBNm", 0}, {"RBNdm", 0}, {"RBNcm", 0}, {"RBNmm", 0}};
    ASSERT_EQ(length.values.size(), expected.size());
    for (const auto& [key, value] : expected) EXPECT_EQ(length(key), value) << key;

    const Loaded area = load(file, "TTeruletForm");
    EXPECT_EQ(area("SpinHa"), 5000);
    EXPECT_EQ(area("CHa"), 1);
    EXPECT_EQ(area("RBHa"), 0);
    EXPECT_FALSE(ini.read().size()) << "reading creates no file";
}

TEST(SettingsTable, LoadingClampsAndParses) {
    TempIni ini;
    ini.write(
        "[OsszeTimer]\nIdoScroll=500\n[KivonTimer]\nIdoScroll=0x1E\n[SzorozTimer]\nIdoScroll=harminc\n"
        "[OsztTimer]\nIdoScroll=-4\n"
        "[HosszuSpinek]\nSpinKm=5000\nSpinNmm=60000000\nSpinNm=-1\n"
        "[teruletspinek]\nspinkm=5000\nSPINNMM=60000000\nSpinHa=$10\n"
        "[OsszeRadioButtonok]\nRB2=1\nRB4=1\n[KivonRadioButtonok]\nRB2=0\n"
        "[Skin]\nSkinName=  \"Not A Skin\"  \n");
    const SettingsFile file(ini.path);

    EXPECT_EQ(load(file, "TOsszeadForm")("IdoScroll"), 120);
    EXPECT_EQ(load(file, "TKivonForm")("IdoScroll"), 30);
    EXPECT_EQ(load(file, "TSzorzasForm")("IdoScroll"), 30);
    EXPECT_EQ(load(file, "TOsztasForm")("IdoScroll"), 1);

    const Loaded length = load(file, "THosszuForm");
    EXPECT_EQ(length("SpinKm"), 1000);
    EXPECT_EQ(length("SpinNmm"), 50000000);
    EXPECT_EQ(length("SpinNm"), 0);
    const Loaded area = load(file, "TTeruletForm");
    EXPECT_EQ(area("SpinKm"), 100);
    EXPECT_EQ(area("SpinNmm"), 5000000);
    EXPECT_EQ(area("SpinHa"), 16);

    // Booleans are handed over as stored; choosing among them is the window's.
    const Loaded add = load(file, "TOsszeadForm");
    EXPECT_EQ(add("RB2"), 1);
    EXPECT_EQ(add("RB4"), 1);
    EXPECT_EQ(add("RB3"), 0);
    const Loaded sub = load(file, "TKivonForm");
    for (const char* rb : {"RB2", "RB3", "RB4", "RB5", "RB6"}) EXPECT_EQ(sub(rb), 0) << rb;

    EXPECT_EQ(load(file, "TForm1").values[0].stringValue, "Not A Skin");
}

TEST(SettingsTable, StoringWritesEveryKeyInTheWritingOrder) {
    TempIni ini;
    const SettingsFile file(ini.path);
    const auto& w = kob::windowSettings("THosszuForm");
    auto values = kob::defaultSettings(w);
    values[indexOf(w, "IdoScroll")].intValue = 45;
    values[indexOf(w, "SpinNdm")].intValue = 1234;
    values[indexOf(w, "SpinNcm")].intValue = 5678;
    values[indexOf(w, "CNdm")].intValue = 0;
    values[indexOf(w, "RBNcm")].intValue = 1;
    ASSERT_TRUE(kob::storeWindowSettings(file, w, values).ok);
    EXPECT_EQ(ini.read(),
              "[HosszuTimer]\nIdoScroll=45\n"
              "[HosszuSpinek]\nSpinKm=50\nSpinNm=500000\nSpinNcm=5678\nSpinNdm=1234\nSpinNmm=5000000\n"
              "[HosszuCheckBoxok]\nCNkm=1\nCNm=1\nCNdm=0\nCNcm=1\nCNmm=1\n"
              "[HosszuRadioButtonok]\nRBNkm=0\nRBNm=0\nRBNdm=0\nRBNcm=1\nRBNmm=0\n");

    const auto back = kob::loadWindowSettings(file, w);
    ASSERT_EQ(back.size(), values.size());
    for (std::size_t i = 0; i < back.size(); ++i) EXPECT_EQ(back[i].intValue, values[i].intValue) << i;
}

TEST(SettingsTable, AreaWindowWritesItsHaRowAndSpinNcmFirst) {
    TempIni ini;
    const auto& w = kob::windowSettings("TTeruletForm");
    ASSERT_TRUE(kob::storeWindowSettings(SettingsFile(ini.path), w, kob::defaultSettings(w)).ok);
    const std::string text = ini.read();
    EXPECT_NE(text.find("[TeruletSpinek]\nSpinKm=50\nSpinHa=5000\nSpinNm=500000\nSpinNcm=5000000\n"
                        "SpinNdm=5000000\nSpinNmm=5000000\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("[TeruletCheckBoxok]\nCNkm=1\nCHa=1\nCNm=1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[TeruletRadioButtonok]\nRBNkm=0\nRBHa=0\nRBNm=0\n"), std::string::npos) << text;
}

TEST(SettingsTable, LoadThenStoreKeepsClampedValuesAndForeignContent) {
    TempIni ini;
    ini.write("[Mine]\nx=1\n[OsszeTimer]\nIdoScroll=500\n[OsszeRadioButtonok]\nRB5=1\nRB2=0\nExtra=q\n");
    const SettingsFile file(ini.path);
    const auto& w = kob::windowSettings("TOsszeadForm");
    ASSERT_TRUE(kob::storeWindowSettings(file, w, kob::loadWindowSettings(file, w)).ok);
    EXPECT_EQ(ini.read(),
              "[Mine]\nx=1\n[OsszeTimer]\nIdoScroll=120\n[OsszeRadioButtonok]\nRB5=1\nRB2=0\nExtra=q\n"
              "RB3=0\nRB4=0\nRB6=0\n");
}

TEST(SettingsTable, StoreTakesEachValueAtItsKeysPlaceAndDefaultsTheRest) {
    TempIni ini;
    const SettingsFile file(ini.path);
    SettingValue name;
    name.stringValue = "Elegant (internal)";
    ASSERT_TRUE(kob::storeWindowSettings(file, kob::windowSettings("TForm1"), {name}).ok);
    EXPECT_EQ(ini.read(), "[Skin]\nSkinName=Elegant (internal)\n");

    // Fewer values than keys: the keys past them take their defaults.
    const auto& w = kob::windowSettings("TKivonForm");
    std::vector<SettingValue> values(3);
    values[0].intValue = 12;  // IdoScroll
    values[1].intValue = 0;   // RB2
    values[2].intValue = 1;   // RB3
    ASSERT_TRUE(kob::storeWindowSettings(file, w, values).ok);
    EXPECT_EQ(ini.read(),
              "[Skin]\nSkinName=Elegant (internal)\n[KivonTimer]\nIdoScroll=12\n"
              "[KivonRadioButtonok]\nRB2=0\nRB3=1\nRB4=0\nRB5=0\nRB6=0\n");
}

}  // namespace

// Every window read and written back, as the program does at its closes,
// then written again with every value changed: the bytes on disk for each
// settings file of the fuzz corpus and for a missing file. The expected
// bytes (settings_roundtrip.golden) were written by the program before its
// settings were declared once; regenerate them only for a deliberate
// change of the file format: KOBALTFA_WRITE_GOLDEN=1 kobaltfa_core_tests.
namespace {

std::string roundTrip(const std::string& input, bool exists) {
    TempIni ini;
    if (exists) ini.write(input);
    const SettingsFile file(ini.path);
    auto wrote = [](const kob::WriteResult& r) { EXPECT_TRUE(r.ok) << r.message; };
    const std::vector<const kob::ArithWindowData*> arith = {&kob::additionData(), &kob::subtractionData(),
                                                            &kob::multiplicationData(), &kob::divisionData()};
    const std::vector<const kob::UnitTable*> units = {&kob::areaTable(), &kob::lengthTable(), &kob::volumeTable(),
                                                      &kob::massTable()};
    wrote(kob::storeMainSettings(file, kob::loadMainSettings(file)));
    for (const auto* d : arith) wrote(kob::storeArithSettings(file, *d, kob::loadArithSettings(file, *d)));
    for (const auto* u : units) wrote(kob::storeConversionSettings(file, *u, kob::loadConversionSettings(file, *u)));
    std::string out = "-- read and written back\n" + ini.read();

    kob::MainSettings m = kob::loadMainSettings(file);
    m.skinName += "+";
    wrote(kob::storeMainSettings(file, m));
    for (const auto* d : arith) {
        kob::ArithSettings s = kob::loadArithSettings(file, *d);
        s.timeLimit = s.timeLimit % 120 + 1;
        s.selected = s.selected ? std::optional<std::size_t>((*s.selected + 1) % d->buttons.size()) : std::nullopt;
        wrote(kob::storeArithSettings(file, *d, s));
    }
    for (const auto* u : units) {
        kob::ConversionSettings s = kob::loadConversionSettings(file, *u);
        s.timeLimit = 121 - s.timeLimit;
        for (int& m : s.maxima) m = m / 3 + 7;
        s.switchedOn.flip();
        s.given = s.given ? std::optional<std::size_t>((*s.given + 1) % u->size()) : std::optional<std::size_t>(0);
        if (u == &kob::volumeTable()) s.maxima.resize(2);  // the other rows are written with their defaults
        wrote(kob::storeConversionSettings(file, *u, s));
    }
    return out + "-- every value changed\n" + ini.read();
}

}  // namespace

TEST(SettingsTable, TheBytesOnDiskStayAsTheyWere) {
    const std::filesystem::path corpus = std::filesystem::path(KOBALTFA_SOURCE_DIR) / "fuzz/corpus/settings_reader";
    std::set<std::filesystem::path> inputs;
    for (const auto& e : std::filesystem::directory_iterator(corpus)) inputs.insert(e.path());
    ASSERT_FALSE(inputs.empty());
    std::string all = "== (no file)\n" + roundTrip("", false);
    for (const auto& p : inputs) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        all += "== " + p.filename().string() + "\n" + roundTrip(ss.str(), true);
    }
    const std::string golden = std::string(KOBALTFA_SOURCE_DIR) + "/tests/settings/settings_roundtrip.golden";
    if (std::getenv("KOBALTFA_WRITE_GOLDEN")) std::ofstream(golden, std::ios::binary) << all;
    std::ifstream in(golden, std::ios::binary);
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(all, expected.str());
}
