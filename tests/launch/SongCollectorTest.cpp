// SPDX-License-Identifier: GPL-3.0-or-later
#include "launch/BackgroundSongCollector.h"
#include "launch/SongCollector.h"

#include "common/TestSupport.h"
#include "files/RegularFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

using namespace std::chrono_literals;

namespace {

class SongCollectorTest : public ::testing::Test {
protected:
    QString make(const QString& relative, const QByteArray& bytes = QByteArrayLiteral("music"))
    {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QString at(const QString& relative) const { return dir.filePath(relative); }

    // A music folder with the things a real one has.
    QString musicFolder()
    {
        for (const char* name : {"music/b.mp3", "music/A.wav", "music/sub2/z.mid",
                                 "music/Sub1/c.MP3", "music/Sub1/deeper/d.mp2", "music/.hidden.mp3",
                                 "music/.git/e.mp3", "music/notes.txt"}) {
            make(QString::fromLatin1(name));
        }
        make(QStringLiteral("music/silent.mp3"), {});
        // A link back up the tree is not walked twice.
        EXPECT_TRUE(QFile::link(at(QStringLiteral("music")), at(QStringLiteral("music/loop"))));
        return at(QStringLiteral("music"));
    }

    QTemporaryDir dir;
};

TEST_F(SongCollectorTest, FolderGivesItsSongsInNameOrderSubfoldersAfter)
{
    const SongCollector::Result found = SongCollector().collect({musicFolder()});
    EXPECT_EQ(found.songs,
              (QStringList{at(QStringLiteral("music/A.wav")), at(QStringLiteral("music/b.mp3")),
                           at(QStringLiteral("music/Sub1/c.MP3")),
                           at(QStringLiteral("music/Sub1/deeper/d.mp2")),
                           at(QStringLiteral("music/sub2/z.mid"))}));
    EXPECT_TRUE(found.problems.isEmpty()) << found.problems.join(QLatin1Char('\n')).toStdString();
}

TEST_F(SongCollectorTest, EachKindOfNameGivesItsSongsOrAProblem)
{
    const QString song = make(QStringLiteral("one.mp3"));
    make(QStringLiteral("lists/a.mp3"));
    make(QStringLiteral("lists/sub/b.wav"));
    const QString list = make(QStringLiteral("lists/mix.PYL"),
                              song.toLocal8Bit() + "\r\n\r\n  a.mp3  \r\nsub/b.wav\r\n");
    QDir().mkpath(at(QStringLiteral("empty folder")));
    struct Case {
        QString path;
        QStringList songs;
        bool problem;
    };
    const Case cases[] = {
        {song, {song}, false},
        {list,
         {song, at(QStringLiteral("lists/a.mp3")), at(QStringLiteral("lists/sub/b.wav"))},
         false},
        {at(QStringLiteral("missing.mp3")), {}, true},
        {make(QStringLiteral("zero.wav"), {}), {}, true},
        {make(QStringLiteral("readme.txt")), {}, true},
        {make(QStringLiteral("blank.pyl"), "  \r\n"), {}, true},
        {at(QStringLiteral("missing.pyl")), {}, true},
        {at(QStringLiteral("empty folder")), {}, true},
    };
    for (const Case& c : cases) {
        const SongCollector::Result found = SongCollector().collect({c.path});
        EXPECT_EQ(found.songs, c.songs) << c.path.toStdString();
        EXPECT_EQ(found.problems.size(), c.problem ? 1 : 0) << c.path.toStdString();
    }
}

// Other players' playlists name songs as URLs, relative paths and streams;
// what cannot be played is told with its line and the rest plays.
TEST_F(SongCollectorTest, PlaylistEntriesThatCannotBePlayedAreToldByLine)
{
    const QString song = make(QStringLiteral("lists/here.mp3"));
    const QString other = make(QStringLiteral("far away/Song #1.wav"));
    const QString otherUrl = QUrl::fromLocalFile(other).toString(QUrl::FullyEncoded);
    const QString list = make(QStringLiteral("lists/mix.m3u"),
                              "#EXTM3U\n"
                              "#EXTINF:123,Band - Here\n"
                              "here.mp3\n" +
                                  otherUrl.toUtf8() +
                                  "\n"
                                  "http://radio.example/stream.mp3\n"
                                  "file://elsewhere/m/a.mp3\n"
                                  "notes.txt\n"
                                  "gone.mp3\n"
                                  "../lists/./here.mp3\n");
    const SongCollector::Result found = SongCollector().collect({list});
    EXPECT_EQ(found.songs, (QStringList{song, other, song}));
    EXPECT_EQ(
        found.problems,
        (QStringList{
            list + ", line 5: Only local files can be played: http://radio.example/stream.mp3",
            list + ", line 6: Only local files can be played: file://elsewhere/m/a.mp3",
            list + ", line 7: Not a song (mp3, mp2, wav, mid): " + at("lists/notes.txt"),
            list + ", line 8: No such file, or it is empty: " + at("lists/gone.mp3")}));

    // Too many to tell one by one: the rest are counted.
    QByteArray many;
    for (int i = 0; i < SongCollector::kMaxProblemsPerPlaylist + 3; ++i) {
        many += "gone.mp3\r\n";
    }
    const QString useless = make(QStringLiteral("lists/useless.pyl"), many);
    const SongCollector::Result none = SongCollector().collect({useless});
    EXPECT_TRUE(none.songs.isEmpty());
    ASSERT_EQ(none.problems.size(), SongCollector::kMaxProblemsPerPlaylist + 2);
    EXPECT_EQ(none.problems.at(SongCollector::kMaxProblemsPerPlaylist),
              useless + ": 3 more entries cannot be played");
    EXPECT_EQ(none.problems.last(), "The playlist has no songs: " + useless);
}

TEST_F(SongCollectorTest, PlaylistThatIsNoRegularFileIsRefusedAtOnce)
{
    const QString fifo = at(QStringLiteral("pipe.pyl"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const SongCollector::Result found = SongCollector().collect({fifo});
    EXPECT_TRUE(found.songs.isEmpty());
    EXPECT_EQ(found.problems.size(), 1);
}

TEST_F(SongCollectorTest, StopsAtTheMostARadioPlaysOrWhenAsked)
{
    const QString first = make(QStringLiteral("first.mp3"));
    QByteArray bytes;
    for (int i = 0; i < SongCollector::kMaxSongs + 10; ++i) {
        bytes += (i + 1 < SongCollector::kMaxSongs ? "first.mp3" : "last.mp3") + QByteArray("\n");
    }
    make(QStringLiteral("last.mp3"));
    const QString huge = make(QStringLiteral("huge.pyl"), bytes);
    const QString more = make(QStringLiteral("more.mp3"));
    const QString music = musicFolder();
    const SongCollector::Result full = SongCollector().collect({huge, more, music});
    EXPECT_EQ(full.songs.size(), SongCollector::kMaxSongs);
    EXPECT_EQ(full.songs.first(), first);
    EXPECT_EQ(full.songs.last(), at(QStringLiteral("last.mp3")));
    EXPECT_TRUE(full.problems.isEmpty());

    const std::atomic<bool> stop{true};
    EXPECT_TRUE(SongCollector(&stop).collect({music, more}).songs.isEmpty());
}

TEST_F(SongCollectorTest, InTheBackgroundTheSongsArriveOnThisThread)
{
    BackgroundSongCollector collector;
    QStringList songs;
    QStringList problems;
    int reports = 0;
    QObject::connect(&collector, &BackgroundSongCollector::collected,
                     [&](const QStringList& s, const QStringList& p) {
                         songs = s;
                         problems = p;
                         ++reports;
                     });
    collector.start({musicFolder(), at(QStringLiteral("gone.mp3"))});
    ASSERT_TRUE(testing_support::waitUntil([&] { return reports > 0; }, 10s));
    EXPECT_EQ(songs.size(), 5);
    EXPECT_EQ(problems.size(), 1);

    // A collection started again replaces the one before; only it reports.
    reports = 0;
    collector.start({at(QStringLiteral("music/b.mp3"))});
    collector.start({at(QStringLiteral("music/A.wav"))});
    ASSERT_TRUE(testing_support::waitUntil([&] { return reports > 0; }, 10s));
    testing_support::pumpFor(50ms);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(songs, QStringList{at(QStringLiteral("music/A.wav"))});
}

}  // namespace

// A folder named on the command line gives every song in it and below,
// whatever bytes their names are made of, and each opens as it was found.
TEST_F(SongCollectorTest, NamesThatAreNoUtf8AreWalkedAndOpen)
{
    const QByteArray top = QFile::encodeName(at(QStringLiteral("old")));
    ASSERT_EQ(::mkdir(top.constData(), 0700), 0);
    ASSERT_EQ(::mkdir((top + "/D\xe9j\xe0 vu").constData(), 0700), 0);
    for (const QByteArray& name :
         {QByteArray("/caf\xe9.mp3"), QByteArray("/D\xe9j\xe0 vu/\x93one\x94.wav")}) {
        const int fd = ::open((top + name).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "music", 5), 5);
        ::close(fd);
    }
    const SongCollector::Result found = SongCollector().collect({QFile::decodeName(top)});
    EXPECT_EQ(found.songs.size(), 2) << found.problems.join(QLatin1Char('\n')).toStdString();
    for (const QString& song : found.songs) {
        EXPECT_TRUE(RegularFile(song, RegularFile::Access::Read).isOpen());
    }
    // QTemporaryDir cannot remove what it cannot name.
    ::unlink((top + "/D\xe9j\xe0 vu/\x93one\x94.wav").constData());
    ::unlink((top + "/caf\xe9.mp3").constData());
    ::rmdir((top + "/D\xe9j\xe0 vu").constData());
}
