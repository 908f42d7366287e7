// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/HeadlineLimit.h"

#include <gtest/gtest.h>

namespace {

QString words(qsizetype length)
{
    QString text;
    while (text.size() < length) {
        text += QStringLiteral("word%1 ").arg(text.size() % 97);
    }
    return text.left(length);
}

}  // namespace

TEST(HeadlineLimit, LongTitlesEndAtAWordBoundaryNearTheLimit)
{
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");  // two UTF-16 units
    const struct {
        const char* name;
        QString title;
        QString expected;
    } cases[] = {
        {"short", QStringLiteral("Short news"), QStringLiteral("Short news")},
        {"exactly the limit", QString(300, QLatin1Char('x')), QString(300, QLatin1Char('x'))},
        {"space right after the limit", QString(300, QLatin1Char('a')) + QStringLiteral(" b"),
         QString(300, QLatin1Char('a'))},
        {"spaces before the boundary go",
         QString(250, QLatin1Char('a')) + QString(60, QLatin1Char(' ')) + QStringLiteral("b"),
         QString(250, QLatin1Char('a'))},
        {"line break is a boundary",
         QString(280, QLatin1Char('a')) + QStringLiteral("\nnext") + QString(100, QLatin1Char('c')),
         QString(280, QLatin1Char('a'))},
        {"one endless word", QString(2000, QLatin1Char('w')), QString(300, QLatin1Char('w'))},
        {"boundary too far back", QStringLiteral("a ") + QString(500, QLatin1Char('z')),
         QStringLiteral("a ") + QString(298, QLatin1Char('z'))},
        {"no half character", QString(299, QLatin1Char('y')) + smile + QStringLiteral("tail"),
         QString(299, QLatin1Char('y'))},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HeadlineLimit::cut(c.title), c.expected) << c.name;
    }

    // A title of many words ends with a whole word, close to the limit.
    const QString title = words(2000);
    const QString cut = HeadlineLimit::cut(title);
    EXPECT_LE(cut.size(), HeadlineLimit::kNearLength);
    EXPECT_GE(cut.size(), HeadlineLimit::kNearLength - 10);
    EXPECT_TRUE(title.startsWith(cut));
    EXPECT_TRUE(title.at(cut.size()).isSpace());
    EXPECT_FALSE(cut.back().isSpace());
}

TEST(HeadlineLimit, AnAnnouncementReadsTheFirstTwentyInOrder)
{
    QStringList titles;
    for (int i = 0; i < 900; ++i) {
        titles << QStringLiteral("Story %1 ").arg(i) + words(2000);
    }
    const QStringList kept = HeadlineLimit::limit(titles);
    ASSERT_EQ(kept.size(), HeadlineLimit::kMaxHeadlines);
    for (int i = 0; i < HeadlineLimit::kMaxHeadlines; ++i) {
        EXPECT_TRUE(kept.at(i).startsWith(QStringLiteral("Story %1 ").arg(i)));
        EXPECT_LE(kept.at(i).size(), HeadlineLimit::kNearLength);
    }
    const QStringList few{QStringLiteral("One"), QString(), QStringLiteral("Three")};
    EXPECT_EQ(HeadlineLimit::limit(few), few);
}
