// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// An arithmetic window's remembered options: defaults, the file's layout
// after a store and reading it back, the last button stored as selected
// winning, the time limit clamped, and values that are no numbers.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "arith/arith_settings.h"
#include "support/files.h"

using namespace kob;

namespace {

class ArithSettingsTest : public ::testing::Test {
protected:
    void write(const std::string& text) const { std::ofstream(path_, std::ios::binary) << text; }
    std::string read() const { return filekit::slurp(path_); }
    ArithSettings load(const ArithWindowData& data) const { return loadArithSettings(SettingsFile(path_), data); }

    filekit::ScratchDir dir_{::testing::TempDir(), "kobaltfa-arith", 0700};
    std::string path_ = dir_.file("kobaltfa.ini");
};

TEST_F(ArithSettingsTest, MissingFileGivesThirtySecondsAndTheFirstButton) {
    for (const ArithWindowData* data : {&additionData(), &divisionData()}) {
        const ArithSettings s = load(*data);
        EXPECT_EQ(s.timeLimit, 30) << data->windowClass;
        EXPECT_EQ(s.selected, 0u) << data->windowClass;
    }
    EXPECT_FALSE(std::filesystem::exists(path_)) << "reading creates no file";
}

TEST_F(ArithSettingsTest, StoreWritesEveryKeyAndReadsBackTheSame) {
    ArithSettings s;
    s.timeLimit = 45;
    s.selected = 9;  // RBV, the random table
    ASSERT_TRUE(storeArithSettings(SettingsFile(path_), divisionData(), s).ok);
    EXPECT_EQ(read(),
              "[OsztTimer]\nIdoScroll=45\n"
              "[OsztRadioButtonok]\nRB2=0\nRB3=0\nRB4=0\nRB5=0\nRB6=0\nRB7=0\nRB8=0\nRB9=0\nRB10=0\nRBV=1\n");
    ArithSettings back = load(divisionData());
    EXPECT_EQ(back.timeLimit, 45);
    EXPECT_EQ(back.selected, 9u);

    // None selected: every button stored as "0", and none read back.
    s.selected.reset();
    s.timeLimit = 1;
    ASSERT_TRUE(storeArithSettings(SettingsFile(path_), subtractionData(), s).ok);
    EXPECT_NE(read().find("[KivonTimer]\nIdoScroll=1\n[KivonRadioButtonok]\nRB2=0\nRB3=0\nRB4=0\nRB5=0\nRB6=0\n"),
              std::string::npos)
        << read();
    back = load(subtractionData());
    EXPECT_EQ(back.timeLimit, 1);
    EXPECT_FALSE(back.selected);
    // The other window's keys were left alone.
    EXPECT_EQ(load(divisionData()).selected, 9u);
}

TEST_F(ArithSettingsTest, TheLastButtonStoredAsSelectedWins) {
    write("[OsszeRadioButtonok]\nRB2=1\nRB4=1\nRB5=0\n"
          "[KivonRadioButtonok]\nRB2=0\n"
          "[SzorozRadioButtonok]\nRB2=0\nRB9=1\nRBV=1\n"
          "[OsztRadioButtonok]\nRB2=0\nRB10=1\n");
    EXPECT_EQ(load(additionData()).selected, 2u);      // RB4; RB5 stored false does not clear it
    EXPECT_FALSE(load(subtractionData()).selected);    // all false: none
    EXPECT_EQ(load(multiplicationData()).selected, 9u);  // RBV after RB9
    EXPECT_EQ(load(divisionData()).selected, 8u);      // RB10
}

TEST_F(ArithSettingsTest, TheTimeLimitIsClampedAndGarbageGivesTheDefaults) {
    write("[OsszeTimer]\nIdoScroll=500\n[KivonTimer]\nIdoScroll=-4\n[SzorozTimer]\nIdoScroll=harminc\n"
          "[OsztTimer]\nIdoScroll=0x1E\n"
          // RB2 unreadable keeps its default (selected); RB3 a hex number is true
          "[OsszeRadioButtonok]\nRB2=igen\n"
          "[KivonRadioButtonok]\nRB2=0\nRB3=$1f\nRB4=x\n"
          "[OsztRadioButtonok]\nRB2=\nRB3=1.5\n");
    EXPECT_EQ(load(additionData()).timeLimit, 120);
    EXPECT_EQ(load(subtractionData()).timeLimit, 1);
    EXPECT_EQ(load(multiplicationData()).timeLimit, 30);
    EXPECT_EQ(load(divisionData()).timeLimit, 30);

    EXPECT_EQ(load(additionData()).selected, 0u);
    EXPECT_EQ(load(subtractionData()).selected, 1u);
    EXPECT_EQ(load(divisionData()).selected, 0u);
}

}  // namespace
