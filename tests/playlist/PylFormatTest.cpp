// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PylFormat.h"

#include <gtest/gtest.h>

TEST(PylFormat, EveryLineEndsInCrLfAndEntriesAreTrimmed)
{
    const QStringList paths{QStringLiteral("  /m/a.mp3 "), QStringLiteral("/m/b c.mp3")};
    EXPECT_EQ(PylFormat::encode(paths), QByteArray("/m/a.mp3\r\n/m/b c.mp3\r\n"));
    EXPECT_TRUE(PylFormat::encode({}).isEmpty());
}

TEST(PylFormat, BlankAndSpacedLinesAreSkippedOrTrimmed)
{
    const QByteArray bytes("\r\n   \r\n  /m/a.mp3  \r\n\r\n\t/m/b.mp3\r\n");
    EXPECT_EQ(PylFormat::decode(bytes),
              (QStringList{QStringLiteral("/m/a.mp3"), QStringLiteral("\t/m/b.mp3")}));
}

TEST(PylFormat, CrLfBareCrAndBareLfEachEndALine)
{
    // As other editors write it: LF alone.
    EXPECT_EQ(PylFormat::decode("a\nb\nc\n"),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(PylFormat::decode("a\rb\rc"),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    // CR CR LF: a bare CR, then an empty CR LF line.
    EXPECT_EQ(PylFormat::decode("a\r\r\nb\n\r\n"),
              (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

TEST(PylFormat, LastLineNeedsNoTerminator)
{
    EXPECT_EQ(PylFormat::decode("/m/a.mp3\r\n/m/b.mp3"),
              (QStringList{QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3")}));
    EXPECT_TRUE(PylFormat::decode("").isEmpty());
    EXPECT_TRUE(PylFormat::decode("  \r\n ").isEmpty());
}

TEST(PylFormat, RoundTripKeepsNonAsciiNames)
{
    const QStringList paths{QStringLiteral("/musik/Motörhead – Ace.mp3"),
                            QStringLiteral("/音楽/曲.mp3")};
    const QByteArray bytes = PylFormat::encode(paths);
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(PylFormat::decode(bytes), paths);
}
