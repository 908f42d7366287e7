// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingText.h"

#include <gtest/gtest.h>

TEST(SettingText, BooleansAreWrittenAsWords)
{
    EXPECT_EQ(booleanText(true), QStringLiteral("True"));
    EXPECT_EQ(booleanText(false), QStringLiteral("False"));
}

TEST(SettingText, BooleansReadFromWordsOrNumbers)
{
    EXPECT_EQ(booleanFromText(QStringLiteral("True")), true);
    EXPECT_EQ(booleanFromText(QStringLiteral("False")), false);
    EXPECT_EQ(booleanFromText(QStringLiteral(" tRUE ")), true);
    EXPECT_EQ(booleanFromText(QStringLiteral("0")), false);
    EXPECT_EQ(booleanFromText(QStringLiteral("1")), true);
    EXPECT_EQ(booleanFromText(QStringLiteral("-1")), true);
    EXPECT_EQ(booleanFromText(QStringLiteral("0.5")), true);
    EXPECT_EQ(booleanFromText(QStringLiteral("0.0")), false);

    for (const char* bad : {"", " ", "yes", "Truee", "1x", "inf", "nan"}) {
        EXPECT_FALSE(booleanFromText(QString::fromLatin1(bad)).has_value()) << bad;
    }
}

TEST(SettingText, IntegersKeepToSixteenBits)
{
    EXPECT_EQ(integerFromText(QStringLiteral("4")), 4);
    EXPECT_EQ(integerFromText(QStringLiteral(" -12 ")), -12);
    EXPECT_EQ(integerFromText(QStringLiteral("32767")), 32767);
    EXPECT_EQ(integerFromText(QStringLiteral("-32768")), -32768);
    EXPECT_FALSE(integerFromText(QStringLiteral("32768")).has_value());
    EXPECT_FALSE(integerFromText(QStringLiteral("-32769")).has_value());
    EXPECT_FALSE(integerFromText(QStringLiteral("99999999999999999999")).has_value());
    // Fractions round half to even.
    EXPECT_EQ(integerFromText(QStringLiteral("4.5")), 4);
    EXPECT_EQ(integerFromText(QStringLiteral("5.5")), 6);
    EXPECT_EQ(integerFromText(QStringLiteral("32767.4")), 32767);
    EXPECT_FALSE(integerFromText(QStringLiteral("32767.5")).has_value());

    for (const char* bad : {"", "lots", "4 songs", "True", "0x10", "1,000", "inf", "nan"}) {
        EXPECT_FALSE(integerFromText(QString::fromLatin1(bad)).has_value()) << bad;
    }
}

TEST(SettingText, LongsKeepToThirtyTwoBits)
{
    EXPECT_EQ(longFromText(QStringLiteral("165")), 165);
    EXPECT_EQ(longFromText(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(longFromText(QStringLiteral("-2147483648")), -2147483647 - 1);
    EXPECT_FALSE(longFromText(QStringLiteral("2147483648")).has_value());
    EXPECT_FALSE(longFromText(QStringLiteral("fast")).has_value());
}
