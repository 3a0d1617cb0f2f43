// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A conversion window's remembered options: defaults, clamping, the last
// choice winning, the file's layout after a store, and how a spin box's
// text is read.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <sstream>
#include <string>
#include <unistd.h>

#include "measure/conversion_settings.h"
#include "measure/unit_table.h"

using namespace kob;

namespace {

class ConversionSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("kobaltfa-measure-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "kobaltfa.ini").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    void write(const std::string& text) const { std::ofstream(path_, std::ios::binary) << text; }
    std::string read() const {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::filesystem::path dir_;
    std::string path_;
};

}  // namespace

TEST_F(ConversionSettingsTest, MissingFileGivesTheDefaults) {
    const ConversionSettings s = loadConversionSettings(SettingsFile(path_), lengthTable());
    EXPECT_EQ(s.timeLimit, 30);
    EXPECT_EQ(s.maxima, (std::vector<int>{50, 500000, 5000000, 5000000, 5000000}));
    EXPECT_EQ(s.switchedOn, std::vector<bool>(5, true));
    EXPECT_FALSE(s.given);

    const ConversionSettings a = loadConversionSettings(SettingsFile(path_), areaTable());
    EXPECT_EQ(a.maxima, (std::vector<int>{50, 5000, 500000, 5000000, 5000000, 5000000}));
    EXPECT_EQ(a.switchedOn.size(), 6u);
}

TEST_F(ConversionSettingsTest, LoadedValuesAreClampedAndTheLastChoiceWins) {
    write("[HosszuTimer]\nIdoScroll=500\n"
          "[HosszuSpinek]\nSpinKm=5000\nSpinNm=-7\nSpinNmm=60000000\nSpinNdm=abc\n"
          "[HosszuCheckBoxok]\nCNdm=0\n"
          "[HosszuRadioButtonok]\nRBNm=1\nRBNcm=1\nRBNmm=0\n"
          "[TeruletSpinek]\nSpinKm=5000\nSpinHa=5001\n"
          "[TeruletRadioButtonok]\nRBHa=1\n");
    const ConversionSettings s = loadConversionSettings(SettingsFile(path_), lengthTable());
    EXPECT_EQ(s.timeLimit, 120);
    EXPECT_EQ(s.maxima, (std::vector<int>{1000, 0, 5000000, 5000000, 50000000}));
    EXPECT_EQ(s.switchedOn, (std::vector<bool>{true, true, false, true, true}));
    EXPECT_EQ(s.given, 3u);

    const ConversionSettings a = loadConversionSettings(SettingsFile(path_), areaTable());
    EXPECT_EQ(a.maxima[0], 100);
    EXPECT_EQ(a.maxima[1], 5000);
    EXPECT_EQ(a.given, 1u);
    // The volume window reads its own sections only.
    EXPECT_FALSE(loadConversionSettings(SettingsFile(path_), volumeTable()).given);
}

TEST_F(ConversionSettingsTest, StoreWritesEveryKeyWithNcmBeforeNdm) {
    ConversionSettings s;
    s.timeLimit = 12;
    s.maxima = {7, 1000, 20000, 30000, 40000};
    s.switchedOn = {true, false, true, true, false};
    s.given = 4;
    ASSERT_TRUE(storeConversionSettings(SettingsFile(path_), massTable(), s).ok);
    EXPECT_EQ(read(),
              "[TomegTimer]\nIdoScroll=12\n"
              "[TomegSpinek]\nSpinKm=7\nSpinNm=1000\nSpinNcm=30000\nSpinNdm=20000\nSpinNmm=40000\n"
              "[TomegCheckBoxok]\nCNkm=1\nCNm=0\nCNdm=1\nCNcm=1\nCNmm=0\n"
              "[TomegRadioButtonok]\nRBNkm=0\nRBNm=0\nRBNdm=0\nRBNcm=0\nRBNmm=1\n");

    // What was stored reads back the same.
    const ConversionSettings back = loadConversionSettings(SettingsFile(path_), massTable());
    EXPECT_EQ(back.timeLimit, 12);
    EXPECT_EQ(back.maxima, s.maxima);
    EXPECT_EQ(back.switchedOn, s.switchedOn);
    EXPECT_EQ(back.given, s.given);
}

// Each unit table gives the order its maxima are written in: every row
// once, SpinNcm just before SpinNdm.
TEST(ConversionSettings, EveryTableWritesItsMaximaInItsOwnOrder) {
    for (const UnitTable* t : {&areaTable(), &lengthTable(), &volumeTable(), &massTable()}) {
        std::vector<std::size_t> rows = t->spinWriteOrder;
        std::sort(rows.begin(), rows.end());
        std::vector<std::size_t> each(t->size());
        std::iota(each.begin(), each.end(), std::size_t(0));
        EXPECT_EQ(rows, each) << t->window;
        const WindowSettings& w = conversionSettings(*t).keys();
        std::vector<std::string> spins;
        for (int i : w.writeOrder)
            if (w.keys[std::size_t(i)].key.rfind("Spin", 0) == 0) spins.push_back(w.keys[std::size_t(i)].key);
        const auto at = [&spins](const char* key) { return std::find(spins.begin(), spins.end(), key) - spins.begin(); };
        EXPECT_EQ(spins.size(), t->size()) << t->window;
        EXPECT_EQ(at("SpinNcm") + 1, at("SpinNdm")) << t->window;
    }
}

TEST_F(ConversionSettingsTest, SpinTextsThatAreNoNumberStoreZero) {
    EXPECT_EQ(spinTextValue("123"), 123);
    EXPECT_EQ(spinTextValue("+40"), 40);
    EXPECT_EQ(spinTextValue(""), 0);
    EXPECT_EQ(spinTextValue("-"), 0);
    EXPECT_EQ(spinTextValue("12a"), 0);
    EXPECT_EQ(spinTextValue("1.5"), 0);
    EXPECT_EQ(spinTextValue("99999999999"), 0);
}

TEST(SpinText, ALeftBoxSettlesOnItsNumberWithinTheBounds) {
    EXPECT_EQ(spinTextNumber("-0"), 0);
    EXPECT_EQ(spinTextNumber("-"), std::nullopt);
    EXPECT_EQ(spinTextNumber("+-5"), std::nullopt);
    EXPECT_EQ(spinSettledValue("150", 0, 100), 100);
    EXPECT_EQ(spinSettledValue("9999999", 0, 5000000), 5000000);
    EXPECT_EQ(spinSettledValue("-5", 0, 100), 0);
    EXPECT_EQ(spinSettledValue("5.5", 0, 100), 0);
    EXPECT_EQ(spinSettledValue("-", 0, 100), 0);
    EXPECT_EQ(spinSettledValue("0070", 0, 100), 70);
    EXPECT_EQ(spinSettledValue("1.5", 3, 100), 3);  // no number: 0, brought into the bounds
}
