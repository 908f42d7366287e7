// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/AcceptedPlaylist.h"

#include "base/FileExists.h"
#include "base/RandomSource.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

TEST(AcceptedPlaylist, SongLookupIsOneBasedAndBounded)
{
    AcceptedPlaylist playlist;
    playlist.accept({QStringLiteral("/a.mp3"), QStringLiteral("/b.mp3")});
    EXPECT_EQ(playlist.song(1), QStringLiteral("/a.mp3"));
    EXPECT_EQ(playlist.song(2), QStringLiteral("/b.mp3"));
    EXPECT_FALSE(playlist.song(0).has_value());
    EXPECT_FALSE(playlist.song(3).has_value());
    EXPECT_FALSE(playlist.song(-1).has_value());
}

TEST(FileExists, NeedsAFileWithContent)
{
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("empty.mp3"));
    const QString full = dir.filePath(QStringLiteral("full.mp3"));
    QFile(empty).open(QIODevice::WriteOnly);
    QFile f(full);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();

    EXPECT_FALSE(FileExists(empty));
    EXPECT_TRUE(FileExists(full));
    EXPECT_FALSE(FileExists(dir.filePath(QStringLiteral("missing.mp3"))));
    EXPECT_FALSE(FileExists(dir.path()));
}

// Accepting starts the list from its first song wherever the last one stood;
// an empty list keeps the songs and counts as nothing accepted.
TEST(AcceptedPlaylist, AcceptStartsFromTheFirstSongAndAnnouncesTheChange)
{
    AcceptedPlaylist playlist;
    QSignalSpy changes(&playlist, &AcceptedPlaylist::changed);
    playlist.accept({QStringLiteral("/a.mp3"), QStringLiteral("/b.mp3"), QStringLiteral("/c.mp3")});
    playlist.setSongIndex(3);
    playlist.setSongFile(QStringLiteral("/c.mp3"));
    playlist.decline();
    EXPECT_FALSE(playlist.ListAccepted());

    playlist.accept({QStringLiteral("/x.mp3"), QStringLiteral("/y.mp3")});
    EXPECT_EQ(playlist.SongCount(), 2);
    EXPECT_EQ(playlist.SongIndex(), 1);
    EXPECT_EQ(playlist.SongFile(), QStringLiteral("/x.mp3"));
    EXPECT_TRUE(playlist.ListAccepted());

    playlist.accept({});
    EXPECT_EQ(playlist.SongList(),
              QStringList({QStringLiteral("/x.mp3"), QStringLiteral("/y.mp3")}));
    EXPECT_FALSE(playlist.ListAccepted());
    EXPECT_EQ(changes.count(), 6);
}

TEST(RandomSource, SameSeedSameDrawsAllInUnitInterval)
{
    RandomSource a;
    RandomSource b;
    a.seed(42);
    b.seed(42);
    for (int i = 0; i < 1000; ++i) {
        const double x = a.next();
        EXPECT_EQ(x, b.next());
        EXPECT_GE(x, 0.0);
        EXPECT_LT(x, 1.0);
    }
}
