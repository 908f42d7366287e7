// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/GenreList.h"

#include <gtest/gtest.h>

TEST(GenreList, HoldsTheNamesInGenreOrder)
{
    const QStringList& names = GenreList::names();
    ASSERT_EQ(names.size(), GenreList::kCount);
    EXPECT_EQ(names.join(QLatin1Char('|')), GenreList::literal());
    EXPECT_EQ(GenreList::name(0), QStringLiteral("Blues"));
    EXPECT_EQ(GenreList::name(17), QStringLiteral("Rock"));
    EXPECT_EQ(GenreList::name(80), QStringLiteral("Folk"));
    EXPECT_EQ(GenreList::name(79), QStringLiteral("Hard Rock"));
    EXPECT_EQ(GenreList::name(147), QStringLiteral("Synth Pop"));
    EXPECT_TRUE(GenreList::name(148).isEmpty());
    EXPECT_TRUE(GenreList::name(255).isEmpty());
    EXPECT_TRUE(GenreList::name(-1).isEmpty());
    for (const QString& name : names) {
        EXPECT_FALSE(name.isEmpty());
    }
}
