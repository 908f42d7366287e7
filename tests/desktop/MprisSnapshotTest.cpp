// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/MprisSnapshot.h"

#include "common/QStringPrinter.h"
#include "desktop/MediaUri.h"

#include <gtest/gtest.h>

#include <QDBusObjectPath>
#include <QFile>

namespace {

TrackInfo song()
{
    TrackInfo track;
    track.serial = 12;
    track.path = QStringLiteral("/home/me/My Music/Tune #1.mp3");
    track.title = QStringLiteral("Tune");
    track.artists = QStringList{QStringLiteral("Band"), QStringLiteral("Guest")};
    track.album = QStringLiteral("Record");
    track.trackNumber = 7;
    track.lengthMs = 183500;
    return track;
}

TEST(MprisMetadataTest, CarriesTheTypesClientsExpect)
{
    const QVariantMap map = MprisSnapshot::metadata(song());

    const QVariant id = map.value(QStringLiteral("mpris:trackid"));
    ASSERT_EQ(id.metaType(), QMetaType::fromType<QDBusObjectPath>());
    EXPECT_EQ(id.value<QDBusObjectPath>().path(), QStringLiteral("/org/tolvar/Radio/Track/12"));

    const QVariant length = map.value(QStringLiteral("mpris:length"));
    ASSERT_EQ(length.metaType(), QMetaType::fromType<qlonglong>());
    EXPECT_EQ(length.toLongLong(), 183500000LL);

    EXPECT_EQ(map.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Tune"));
    EXPECT_EQ(map.value(QStringLiteral("xesam:url")).toString(),
              QStringLiteral("file:///home/me/My%20Music/Tune%20%231.mp3"));
    EXPECT_EQ(map.value(QStringLiteral("xesam:artist")).toStringList(),
              (QStringList{QStringLiteral("Band"), QStringLiteral("Guest")}));
    EXPECT_EQ(map.value(QStringLiteral("xesam:album")).toString(), QStringLiteral("Record"));
    const QVariant number = map.value(QStringLiteral("xesam:trackNumber"));
    ASSERT_EQ(number.metaType(), QMetaType::fromType<int>());
    EXPECT_EQ(number.toInt(), 7);
}

TEST(MprisMetadataTest, LeavesOutWhatIsNotKnown)
{
    TrackInfo bare = song();
    bare.lengthMs = 0;
    bare.artists.clear();
    bare.album.clear();
    bare.trackNumber = 0;
    const QVariantMap map = MprisSnapshot::metadata(bare);
    EXPECT_FALSE(map.contains(QStringLiteral("mpris:length")));
    EXPECT_FALSE(map.contains(QStringLiteral("xesam:artist")));
    EXPECT_FALSE(map.contains(QStringLiteral("xesam:album")));
    EXPECT_FALSE(map.contains(QStringLiteral("xesam:trackNumber")));
    EXPECT_TRUE(map.contains(QStringLiteral("mpris:trackid")));

    EXPECT_TRUE(MprisSnapshot::metadata(std::nullopt).isEmpty());
}

TEST(MprisSnapshotTest, ReportsOnlyWhatChanged)
{
    MprisSnapshot before;
    before.playbackStatus = QStringLiteral("Stopped");
    MprisSnapshot after = before;
    EXPECT_TRUE(after.changedSince(before).isEmpty());

    after.playbackStatus = QStringLiteral("Playing");
    after.track = song();
    after.canGoNext = true;
    after.canPlay = true;
    const QVariantMap changed = after.changedSince(before);
    EXPECT_EQ(changed.keys(),
              (QStringList{QStringLiteral("CanGoNext"), QStringLiteral("CanPlay"),
                           QStringLiteral("Metadata"), QStringLiteral("PlaybackStatus")}));
    EXPECT_EQ(changed.value(QStringLiteral("PlaybackStatus")).toString(),
              QStringLiteral("Playing"));
    EXPECT_EQ(changed.value(QStringLiteral("Metadata")).toMap(), MprisSnapshot::metadata(song()));

    // The same file started again is a new track.
    MprisSnapshot again = after;
    again.track->serial += 1;
    EXPECT_EQ(again.changedSince(after).keys(), QStringList{QStringLiteral("Metadata")});
}

TEST(MediaUriTest, TellsPlaylistsFromSongsWithoutRegardToCase)
{
    const auto kind = [](const char* uri) {
        return MediaUri::classify(QUrl(QString::fromUtf8(uri))).kind();
    };
    EXPECT_EQ(kind("file:///m/rock.pyl"), MediaUri::Kind::Playlist);
    EXPECT_EQ(kind("file:///m/ROCK.PYL"), MediaUri::Kind::Playlist);
    for (const char* uri : {"file:///m/a.mp3", "file:///m/a.Mp2", "file:///m/a.WAV",
                            "file:///m/a.mid", "file:///m/a.midi"}) {
        EXPECT_EQ(kind(uri), MediaUri::Kind::Song) << uri;
    }
    for (const char* uri : {"file:///m/a.ogg", "file:///m/mp3", "file:///m/a.pyl.bak",
                            "http://host/a.mp3", "", "relative/a.mp3"}) {
        EXPECT_EQ(kind(uri), MediaUri::Kind::Unsupported) << uri;
    }
    EXPECT_EQ(MediaUri::classify(QUrl(QStringLiteral("file:///m/My%20Song.mp3"))).path(),
              QStringLiteral("/m/My Song.mp3"));
}

TEST(MediaUriTest, OpensTheTypesTheDesktopEntryOffersItFor)
{
    // A file manager offers the program for the entry's types; the media bus
    // announces the ones it opens. Folders come only on the command line.
    QFile entry(QStringLiteral(TOLVAR_DESKTOP_ENTRY));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList offered;
    while (!entry.atEnd()) {
        const QString line = QString::fromUtf8(entry.readLine()).trimmed();
        if (line.startsWith(QLatin1String("MimeType="))) {
            offered = line.mid(9).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        }
    }
    offered.removeAll(QStringLiteral("inode/directory"));
    QStringList opened = MediaUri::supportedMimeTypes();
    offered.sort();
    opened.sort();
    EXPECT_EQ(opened, offered);
}

}  // namespace
