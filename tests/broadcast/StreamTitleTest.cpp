// SPDX-License-Identifier: GPL-3.0-or-later
#include "broadcast/StreamTitle.h"
#include "common/QStringPrinter.h"
#include "tags/SongInfo.h"

#include <gtest/gtest.h>

namespace {
struct Case {
    const char* what;
    SongInfo info;
    QString shown;
};

TEST(StreamTitle, ArtistAndTitleElseTitleElseFileName)
{
    const QString path = QStringLiteral("/music/01 Song.mp3");
    SongInfo full;
    full.title = QStringLiteral("Cut Title");
    full.artist = QStringLiteral("Cut Artist");
    full.shownTitle = QStringLiteral("The Whole Title");
    full.shownArtists = {QStringLiteral("One"), QStringLiteral("Two")};
    SongInfo id3Only;
    id3Only.title = QStringLiteral("Old Title ");
    id3Only.artist = QStringLiteral("Old Artist");
    SongInfo titleOnly;
    titleOnly.shownTitle = QStringLiteral("Alone");
    SongInfo artistOnly;
    artistOnly.artist = QStringLiteral("Nobody's Title");
    const std::vector<Case> cases{
        {"fuller texts", full, QStringLiteral("One, Two - The Whole Title")},
        {"ID3v1 texts", id3Only, QStringLiteral("Old Artist - Old Title")},
        {"title alone", titleOnly, QStringLiteral("Alone")},
        {"no title", artistOnly, QStringLiteral("01 Song.mp3")},
        {"no tags", SongInfo{}, QStringLiteral("01 Song.mp3")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StreamTitle::ofSong(path, c.info), c.shown) << c.what;
    }
    EXPECT_EQ(StreamTitle::ofFile(path), QStringLiteral("01 Song.mp3"));
}
}  // namespace
