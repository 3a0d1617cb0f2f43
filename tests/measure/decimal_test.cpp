// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <string>

#include "measure/decimal.h"

using kob::Decimal;

namespace {

Decimal num(const std::string& text) {
    const auto d = Decimal::parse(text);
    EXPECT_TRUE(d.has_value()) << '"' << text << '"';
    return d.value_or(Decimal());
}

}  // namespace

TEST(Decimal, FormsOfTheSameQuantityAreEqual) {
    for (const char* form : {"70", "70.", "070", "70.0", "0070.000"}) EXPECT_EQ(num(form), Decimal::whole(70)) << form;
    for (const char* form : {".07", "0.07", "0.070", "00.0700"}) EXPECT_EQ(num(form), num("0.07")) << form;
    EXPECT_EQ(num(""), Decimal());
    EXPECT_EQ(num("."), Decimal());
    EXPECT_EQ(num("0000.0000"), Decimal());
    EXPECT_EQ(num("5."), Decimal::whole(5));
    EXPECT_EQ(num(".5"), Decimal::whole(5).shifted(-1));
}

TEST(Decimal, DifferentQuantitiesDifferHoweverFarOut) {
    EXPECT_NE(num("0.07"), num("0.7"));
    EXPECT_NE(num("70"), num("7"));
    EXPECT_NE(num("700"), num("70"));
    // The 25th decimal and the 20th integer digit still count.
    EXPECT_NE(num("0.1234567890123456789012345"), num("0.1234567890123456789012346"));
    EXPECT_NE(num("0.0000000000000000000000001"), Decimal());
    EXPECT_NE(num("12345678901234567890"), num("22345678901234567890"));
    EXPECT_NE(num("100000000000000000000"), num("100000000000000000001"));
    // Sixty digits, equal and one apart in the last place.
    const std::string sixty = "123456789012345678901234567890123456789012345678901234567890";
    std::string other = sixty;
    other.back() = '1';
    EXPECT_EQ(num(sixty), num("000" + sixty + ".000"));
    EXPECT_NE(num(sixty), num(other));
    EXPECT_EQ(num(sixty.substr(0, 30) + "." + sixty.substr(30)), num(sixty).shifted(-30));
}

TEST(Decimal, TextsThatAreNoNumber) {
    for (const char* text : {"1.2.3", "..", "1..", "1 2", " 1", "-1", "+1", "1e5", "1,5", "x", "0x10"})
        EXPECT_FALSE(Decimal::parse(text).has_value()) << text;
}

TEST(Decimal, ShiftingIsExactBothWays) {
    const Decimal one = Decimal::whole(1);
    EXPECT_EQ(one.shifted(14), num("100000000000000"));
    EXPECT_EQ(one.shifted(-12), num("0.000000000001"));
    EXPECT_EQ(Decimal::whole(125).shifted(-10), num("0.0000000125"));
    EXPECT_EQ(Decimal::whole(5000000).shifted(-12), num("0.000005"));
    EXPECT_EQ(Decimal::whole(37).shifted(10).shifted(-10), Decimal::whole(37));
    EXPECT_EQ(Decimal().shifted(7), Decimal());
}

TEST(Decimal, PlainTextForm) {
    EXPECT_EQ(Decimal().toString(), "0");
    EXPECT_EQ(Decimal::whole(1000000).toString(), "1000000");
    EXPECT_EQ(Decimal::whole(5).shifted(-6).toString(), "0.000005");
    EXPECT_EQ(num("012.500").toString(), "12.5");
    EXPECT_EQ(num("0.25").toString(), "0.25");
    EXPECT_EQ(Decimal::whole(18446744073709551615ULL).toString(), "18446744073709551615");
}
