// SPDX-License-Identifier: GPL-3.0-or-later
#include "announcer/PhraseTable.h"

#include <gtest/gtest.h>

TEST(PhraseTable, HoldsExactlyTheIntrosAndComments)
{
    const PhraseTable table;
    EXPECT_EQ(table.size(), 16 + 51);
    for (int id = 1000; id <= 1015; ++id) {
        EXPECT_TRUE(table.text(id).has_value()) << id;
    }
    for (int id = 2000; id <= 2050; ++id) {
        EXPECT_TRUE(table.text(id).has_value()) << id;
    }
    for (int id : {0, 999, 1016, 1999, 2051}) {
        EXPECT_FALSE(table.text(id).has_value()) << id;
    }
}

TEST(PhraseTable, KeepsDoubleAndTrailingSpaces)
{
    const PhraseTable table;
    EXPECT_EQ(table.text(1000),
              QStringLiteral("Hey!  This is Flurbo Wobbleshanktorz ... I'll be your time and news "
                             "announcer. And now for"));
    EXPECT_EQ(table.text(1002),
              QStringLiteral("Hey!  Somebody set us up the bong!  Okay!  And now for"));
    EXPECT_EQ(table.text(1003), QStringLiteral("All your bits are belong to Flurbo!  And now for"));
    EXPECT_EQ(table.text(1015), QStringLiteral("And on to the music"));
    EXPECT_EQ(table.text(2000), QStringLiteral("Wow!  Now that was a great song"));
    EXPECT_EQ(table.text(2002), QStringLiteral("Flurbo Wobbleshanktorz here ... "));
    EXPECT_EQ(table.text(2010),
              QStringLiteral("I can't recall the artist, but a cool tune it was "));
    EXPECT_EQ(table.text(2021),
              QStringLiteral("Burppp,  pardon me. Did that one effect you too? "));
    EXPECT_EQ(table.text(2023),
              QStringLiteral("La La La, Oh ... hello ...... Great tune, yes it was "));
    EXPECT_EQ(table.text(2041),
              QStringLiteral("Have you tried Siv' rel yet? Just checking, more hits are coming"));
    EXPECT_EQ(table.text(2050), QStringLiteral("Ah ... sweet as Angels, yes it was"));
}

TEST(PhraseTable, ParsesItsOwnFormat)
{
    const PhraseTable table = PhraseTable::fromText(
        QStringLiteral("# comment\r\n\n7 \"quoted \"inner\" text  \"\r\n8 no quotes\nx \"bad id\"\n"
                       "9 \"\"\n"));
    EXPECT_EQ(table.size(), 2);
    EXPECT_EQ(table.text(7), QStringLiteral("quoted \"inner\" text  "));
    EXPECT_EQ(table.text(9), QString());
}
