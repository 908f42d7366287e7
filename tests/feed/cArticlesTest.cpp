// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/cArticles.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(cArticles, AddKeepsOrderAndPutsArgumentsInTheirFields)
{
    cArticles list;
    list.Add(QStringLiteral("T1"), QStringLiteral("A1"), QStringLiteral("S1"),
             QStringLiteral("U1"));
    list.Add(QStringLiteral("T2"), QStringLiteral("A2"), QStringLiteral("S2"),
             QStringLiteral("U2"));
    ASSERT_EQ(list.Count(), 2);
    const auto first = list.Item(1);
    EXPECT_EQ(first->Title(), QStringLiteral("T1"));
    EXPECT_EQ(first->Author(), QStringLiteral("A1"));
    EXPECT_EQ(first->Submitted(), QStringLiteral("S1"));
    EXPECT_EQ(first->Url(), QStringLiteral("U1"));
    EXPECT_EQ(list.Item(2)->Title(), QStringLiteral("T2"));
}

TEST(cArticles, AddTrimsOnlyPlainSpaces)
{
    cArticles list;
    list.Add(QStringLiteral("  Two spaces  "), QStringLiteral("\tTabbed\t"),
             QStringLiteral(" \n line \n "), QStringLiteral("   "));
    const auto article = list.Item(1);
    EXPECT_EQ(article->Title(), QStringLiteral("Two spaces"));
    EXPECT_EQ(article->Author(), QStringLiteral("\tTabbed\t"));
    EXPECT_EQ(article->Submitted(), QStringLiteral("\n line \n"));
    EXPECT_EQ(article->Url(), QString());
    EXPECT_EQ(trimSpaces(QString::fromUtf8("\u00a0x\u00a0")), QString::fromUtf8("\u00a0x\u00a0"));
}

TEST(cArticles, PositionsOutsideTheStoredRangeThrow)
{
    cArticles list;
    EXPECT_THROW(list.Item(1), std::out_of_range);
    list.Add(QStringLiteral("a"), QString(), QString(), QString());
    EXPECT_THROW(list.Item(0), std::out_of_range);
    EXPECT_THROW(list.Item(-1), std::out_of_range);
    EXPECT_THROW(list.Item(2), std::out_of_range);
    EXPECT_NO_THROW(list.Item(1));
}

TEST(cArticles, ClearEmptiesAndRecordsHandedOutLiveOn)
{
    cArticles list;
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    for (const char* title : {"a", "b", "c"}) {
        list.Add(QString::fromLatin1(title), QString(), QString(), QString());
    }
    const auto held = list.Item(2);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_THROW(list.Item(1), std::out_of_range);
    EXPECT_EQ(held->Title(), QStringLiteral("b"));
}
