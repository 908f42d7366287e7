// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PlaylistFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <vector>

using Format = PlaylistFile::Format;
using Entries = std::vector<PlaylistEntry>;

// Found by the test's messages through the entry's own namespace.
static void PrintTo(const PlaylistEntry& entry, std::ostream* os)
{
    *os << entry.line << ": " << entry.text.toStdString() << (entry.tooLong ? " (too long)" : "");
}

// Playlists as people and other players write them: each format's entries
// with the lines they stand on.
TEST(PlaylistFile, EachFormatGivesItsEntriesByLine)
{
    const QByteArray tooLong(5000, 'x');
    const struct {
        const char* name;
        Format format;
        QByteArray bytes;
        Entries entries;
    } rows[] = {
        {"pyl CR LF",
         Format::Pyl,
         "/m/a.mp3\r\n\r\n  /m/b c.mp3 \r\n",
         {{1, "/m/a.mp3"}, {3, "/m/b c.mp3"}}},
        {"pyl LF",
         Format::Pyl,
         "/m/a.mp3\n/m/b.mp3\n\n/m/c.mp3",
         {{1, "/m/a.mp3"}, {2, "/m/b.mp3"}, {4, "/m/c.mp3"}}},
        {"pyl too long",
         Format::Pyl,
         "/m/a.mp3\n" + tooLong + "\n/m/b.mp3",
         {{1, "/m/a.mp3"}, {2, "", true}, {3, "/m/b.mp3"}}},
        {"m3u plain", Format::M3u, "a.mp3\r\nsub/b.mp3\r\n", {{1, "a.mp3"}, {2, "sub/b.mp3"}}},
        {"m3u extended",
         Format::M3u,
         "#EXTM3U\n#EXTINF:215,Band - Song\n/m/a.mp3\n\n# a comment\n\t file:///m/b%20c.mp3 \n",
         {{3, "/m/a.mp3"}, {6, "file:///m/b%20c.mp3"}}},
        {"m3u Latin-1",
         Format::M3u,
         "/m/caf\xe9.mp3\n",
         {{1, QString::fromUtf8("/m/caf\u00e9.mp3")}}},
        {"m3u UTF-8",
         Format::M3u,
         "/m/caf\xc3\xa9.mp3\n",
         {{1, QString::fromUtf8("/m/caf\u00e9.mp3")}}},
        {"m3u8 with a mark",
         Format::M3u8,
         "\xEF\xBB\xBF#EXTM3U\r\n/m/\xe2\x99\xab.mp3\r\n",
         {{2, QString::fromUtf8("/m/\u266b.mp3")}}},
        {"pls",
         Format::Pls,
         "[playlist]\nNumberOfEntries=3\nFile2=/m/b.mp3\nTitle2=B\nfile1 = /m/a.mp3\n"
         "Length1=-1\nFile10=http://radio.example/live\nFile3=\nVersion=2\n",
         {{5, "/m/a.mp3"}, {3, "/m/b.mp3"}, {8, ""}, {7, "http://radio.example/live"}}},
        {"pls CR", Format::Pls, "[playlist]\rFile1=a.mp3\r", {{2, "a.mp3"}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(PlaylistFile::entries(row.format, row.bytes), row.entries);
    }
}

TEST(PlaylistFile, FormatComesFromTheSuffixAndEntriesNameLocalFiles)
{
    EXPECT_EQ(PlaylistFile::formatOf(QStringLiteral("/m/rock.PYL")), Format::Pyl);
    EXPECT_EQ(PlaylistFile::formatOf(QStringLiteral("a.m3u")), Format::M3u);
    EXPECT_EQ(PlaylistFile::formatOf(QStringLiteral("a.M3U8")), Format::M3u8);
    EXPECT_EQ(PlaylistFile::formatOf(QStringLiteral("a.pls")), Format::Pls);
    EXPECT_FALSE(PlaylistFile::formatOf(QStringLiteral("a.pyl.bak")));
    EXPECT_FALSE(PlaylistFile::formatOf(QStringLiteral("a.mp3")));

    const QDir folder(QStringLiteral("/home/me/lists"));
    const struct {
        const char* text;
        std::optional<QString> path;
    } rows[] = {
        {"/m/a.mp3", "/m/a.mp3"},
        {"b.mp3", "/home/me/lists/b.mp3"},
        {"../music/./c.mp3", "/home/me/music/c.mp3"},
        {"file:///m/b%20c.mp3", "/m/b c.mp3"},
        {"file://localhost/m/d.mp3", "/m/d.mp3"},
        {"FILE:///m/e.mp3", "/m/e.mp3"},
        {"Intro: Live.mp3", "/home/me/lists/Intro: Live.mp3"},
        {"file://server/m/a.mp3", std::nullopt},
        {"http://radio.example/stream", std::nullopt},
        {"rtsp://radio.example/stream", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(PlaylistFile::localPath(QString::fromUtf8(row.text), folder), row.path);
    }
}
