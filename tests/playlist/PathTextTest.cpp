// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PathText.h"

#include <gtest/gtest.h>

TEST(PathText, TrimSpacesRemovesOnlySpaces)
{
    EXPECT_EQ(trimSpaces(QStringLiteral("  rock  ")), QStringLiteral("rock"));
    EXPECT_EQ(trimSpaces(QStringLiteral("\trock \t")), QStringLiteral("\trock \t"));
    EXPECT_EQ(trimSpaces(QStringLiteral("   ")), QString());
    EXPECT_EQ(trimSpaces(QStringLiteral("a b")), QStringLiteral("a b"));
}

TEST(PathText, FileNameOnlyCutsAtTheLastSeparator)
{
    EXPECT_EQ(FileNameOnly(QStringLiteral("/music/live/song.mp3")), QStringLiteral("song.mp3"));
    EXPECT_EQ(FileNameOnly(QStringLiteral("song.mp3")), QStringLiteral("song.mp3"));
    EXPECT_EQ(FileNameOnly(QStringLiteral("//song.mp3")), QStringLiteral("song.mp3"));
    EXPECT_EQ(FileNameOnly(QStringLiteral("/music/")), QString());
    EXPECT_EQ(FileNameOnly(QString()), QString());
}

#ifndef Q_OS_WIN
TEST(PathText, BackslashIsAFileNameCharacterOnUnix)
{
    // A folder listing shows "a\b.mp3" for such a file, and so must the playlist.
    EXPECT_EQ(FileNameOnly(QStringLiteral("/music/a\\b.mp3")), QStringLiteral("a\\b.mp3"));
    EXPECT_EQ(FileNameOnly(QStringLiteral("C:\\Music\\a.mp3")), QStringLiteral("C:\\Music\\a.mp3"));
}

TEST(PathText, JoinPathAlwaysInsertsTheSeparator)
{
    EXPECT_EQ(JoinPath(QStringLiteral("/music"), QStringLiteral("a.mp3")),
              QStringLiteral("/music/a.mp3"));
    EXPECT_EQ(JoinPath(QStringLiteral("/"), QStringLiteral("a.mp3")), QStringLiteral("//a.mp3"));
}
#endif
