// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/RadioMediaControl.h"

#include "common/QStringPrinter.h"
#include "common/StoredSettings.h"
#include "common/TestSupport.h"
#include "desktop/RadioFixture.h"
#include "tags/Id3v1Tag.h"

#include <gtest/gtest.h>

#include <vector>

using namespace std::chrono_literals;
using testing_support::pumpFor;
using testing_support::waitUntil;

namespace {

class RadioMediaControlTest : public ::testing::Test, protected RadioFixture {
protected:
    RadioMediaControlTest()
    {
        QObject::connect(&control, &RadioMediaControl::reported,
                         [this](const QString& problem) { reports << problem; });
        QObject::connect(&playlist, &AcceptedPlaylist::changed, [this] { ++listChanges; });
    }

    // Opens a playlist file, which is read off this thread, and waits until
    // it has been taken or refused.
    QString openPlaylist(const QString& file)
    {
        const int changesBefore = listChanges;
        const qsizetype reportsBefore = reports.size();
        const QString refusal = control.openUri(url(file));
        if (refusal.isEmpty()) {
            EXPECT_TRUE(waitUntil(
                [&] { return listChanges > changesBefore || reports.size() > reportsBefore; },
                10s));
        }
        return refusal;
    }

    // Accepts a playlist of `count` songs through a .pyl file and starts it.
    QStringList startPlaylist(int count)
    {
        QStringList songs;
        for (int i = 1; i <= count; ++i) {
            songs << makeFile(QStringLiteral("song %1.mp3").arg(i));
        }
        const QString refusal = openPlaylist(makePlaylist(QStringLiteral("mix.pyl"), songs));
        EXPECT_TRUE(refusal.isEmpty()) << refusal.toStdString();
        return songs;
    }

    QStringList reports;
    int listChanges = 0;

    // Lets the current song end while the announcer has the time to tell,
    // so the sequencer waits for the voice before the next song.
    void endSongWithAnnouncement()
    {
        settings.Loops = true;
        settings.NowTime = true;
        settings.ManyTime = 1;
        endSong();
        ASSERT_TRUE(seq.waitingForVoice());
    }
};

TEST_F(RadioMediaControlTest, NothingToPlayBeforeAPlaylist)
{
    EXPECT_EQ(control.status(), PlaybackStatus::Stopped);
    EXPECT_FALSE(control.track());
    EXPECT_FALSE(control.canPlay());
    EXPECT_FALSE(control.canGoNext());
    EXPECT_FALSE(control.canGoPrevious());
    EXPECT_EQ(control.positionMs(), 0);

    // Forward and Reverse without a list would only clear Playing; Play has
    // no song to open.
    control.next();
    control.previous();
    control.play();
    EXPECT_TRUE(opened().isEmpty());
}

TEST_F(RadioMediaControlTest, PlaylistFileStartsAsAcceptDoes)
{
    playlist.setSongIndex(7);  // a load starts from the first song
    const QStringList songs = startPlaylist(3);

    EXPECT_EQ(playlist.SongList(), songs);
    EXPECT_EQ(playlist.SongCount(), 3);
    EXPECT_EQ(playlist.SongIndex(), 1);
    EXPECT_EQ(playlist.SongFile(), songs.first());
    EXPECT_TRUE(playlist.ListAccepted());
    // The voice is hushed, the intro begins, and the first song starts
    // without waiting for the intro to end.
    EXPECT_EQ(voice.calls.first(), QStringLiteral("stop"));
    EXPECT_EQ(announcer.calls, QStringList{QStringLiteral("intro")});
    EXPECT_EQ(voice.speakingState(), 1);
    EXPECT_EQ(opened(), QStringList{songs.first()});
    EXPECT_EQ(control.status(), PlaybackStatus::Playing);
    EXPECT_TRUE(control.canGoNext());
    EXPECT_TRUE(control.canGoPrevious());
}

TEST_F(RadioMediaControlTest, PlaylistFilesOfEveryKindStartTheirSongs)
{
    const QString a = makeFile(QStringLiteral("a.mp3"));
    const QString b = makeFile(QStringLiteral("b c.wav"));
    const struct {
        const char* name;
        QByteArray bytes;
    } rows[] = {
        // Blank lines and surrounding spaces go; CR LF, a bare CR and a bare
        // LF each end a line.
        {"spaced.PYL", "  " + a.toLocal8Bit() + "  \r\n\r\n   \n" + b.toLocal8Bit() + "\r"},
        {"lf.pyl", a.toLocal8Bit() + "\n" + b.toLocal8Bit() + "\n"},
        {"list.m3u8", "#EXTM3U\n#EXTINF:61,Band - A\na.mp3\nfile://" +
                          QUrl::fromLocalFile(b).path(QUrl::FullyEncoded).toUtf8() + "\n"},
        {"list.pls", "[playlist]\nFile2=b c.wav\nFile1=" + a.toUtf8() + "\nNumberOfEntries=2\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        control.stop();
        player.calls.clear();
        ASSERT_TRUE(openPlaylist(makeFile(QString::fromLatin1(row.name), row.bytes)).isEmpty());
        EXPECT_EQ(playlist.SongList(), (QStringList{a, b}));
        EXPECT_EQ(opened(), QStringList{a});
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join(u'\n').toStdString();
}

TEST_F(RadioMediaControlTest, PlaylistWithNothingToPlayLeavesTheSongPlaying)
{
    const QStringList songs = startPlaylist(2);
    player.calls.clear();
    // Songs that are not there, a stream.
    const QString useless = makeFile(QStringLiteral("useless.m3u"),
                                     "/m/a.mp3\r\n/m/b.mp3\nhttp://radio.example/stream\n"
                                     "gone.mp3\n");
    ASSERT_TRUE(openPlaylist(useless).isEmpty());
    ASSERT_EQ(reports.size(), 6) << reports.join(u'\n').toStdString();
    EXPECT_EQ(reports.first(),
              useless + QStringLiteral(", line 1: No such file, or it is empty: /m/a.mp3"));
    EXPECT_EQ(reports.at(2), useless + QStringLiteral(", line 3: Only local files can be "
                                                      "played: http://radio.example/stream"));
    EXPECT_EQ(reports.at(4), QStringLiteral("The playlist has no songs: ") + useless);
    EXPECT_EQ(reports.last(), QStringLiteral("nothing to play"));
    EXPECT_EQ(playlist.SongList(), songs);
    EXPECT_EQ(control.status(), PlaybackStatus::Playing);
    EXPECT_TRUE(player.calls.isEmpty()) << player.calls.join(u' ').toStdString();
}

TEST_F(RadioMediaControlTest, TransportFollowsTheButtons)
{
    const QStringList songs = startPlaylist(3);

    control.pause();
    EXPECT_EQ(player.calls.last(), QStringLiteral("PauseMPEG"));
    EXPECT_EQ(control.status(), PlaybackStatus::Paused);
    control.pause();  // already paused: nothing
    EXPECT_EQ(player.calls.last(), QStringLiteral("PauseMPEG"));

    control.playPause();
    EXPECT_EQ(player.calls.last(), QStringLiteral("ResumeMPEG"));
    EXPECT_EQ(control.status(), PlaybackStatus::Playing);
    control.play();  // already playing: the song is not restarted
    EXPECT_EQ(opened().size(), 1);

    control.next();
    control.next();
    control.next();  // wraps to the first song
    control.previous();
    EXPECT_EQ(opened(), (QStringList{songs[0], songs[1], songs[2], songs[0], songs[2]}));

    control.stop();
    EXPECT_EQ(control.status(), PlaybackStatus::Stopped);
    EXPECT_EQ(control.positionMs(), 0);
    control.playPause();  // from stopped: Play restarts the song in hand
    EXPECT_EQ(opened().last(), songs[2]);
    EXPECT_EQ(opened().size(), 6);
    EXPECT_EQ(control.status(), PlaybackStatus::Playing);
}

TEST_F(RadioMediaControlTest, PauseAfterASongChangeStillPauses)
{
    const QStringList songs = startPlaylist(2);
    control.pause();
    // The Forward button while paused plays the next song with the pause
    // switch still set; the radio is audibly playing.
    seq.command(TransportCommand::Forward);
    ASSERT_TRUE(seq.paused());
    EXPECT_EQ(control.status(), PlaybackStatus::Playing);

    control.pause();
    EXPECT_EQ(player.calls.last(), QStringLiteral("PauseMPEG"));
    EXPECT_EQ(control.status(), PlaybackStatus::Paused);
    control.play();
    EXPECT_EQ(player.calls.last(), QStringLiteral("ResumeMPEG"));
    EXPECT_EQ(control.status(), PlaybackStatus::Playing);
}

TEST_F(RadioMediaControlTest, NextWhileTheAnnouncerTalksWaitsLikeForward)
{
    const QStringList songs = startPlaylist(3);
    voice.finishSpeaking();
    endSongWithAnnouncement();
    // Between songs the radio is on air, talking.
    EXPECT_EQ(control.status(), PlaybackStatus::Playing);

    control.next();
    EXPECT_EQ(seq.heldCommands(), 1u);
    EXPECT_EQ(opened().size(), 1);

    voice.finishSpeaking();
    ASSERT_TRUE(waitUntil([this] { return !seq.waitingForVoice(); }, 2s));
    // The automatic advance first, then the held Forward.
    EXPECT_EQ(opened(), (QStringList{songs[0], songs[1], songs[2]}));
}

TEST_F(RadioMediaControlTest, NextWhileTheAnnouncerTalksRunsAtOnceWithRelease)
{
    const QStringList songs = startPlaylist(3);
    voice.finishSpeaking();
    settings.Release = true;
    endSongWithAnnouncement();

    control.next();
    EXPECT_EQ(seq.heldCommands(), 0u);
    EXPECT_FALSE(seq.waitingForVoice());
    EXPECT_EQ(opened(), (QStringList{songs[0], songs[1]}));
    // The announcement in progress is not cut short.
    EXPECT_EQ(voice.speakingState(), 1);
}

// Pause and Play from the desktop while the announcer talks between songs:
// once it has finished, the radio is as the last of them asked.
TEST(RadioMediaControlHoldTest, PauseAndPlayDuringAnAnnouncementEndAsTheLastAsked)
{
    enum class Ask { Play, Pause, PlayPause };
    const struct {
        const char* name;
        std::vector<Ask> asked;
        PlaybackStatus after;
    } cases[] = {
        {"pause", {Ask::Pause}, PlaybackStatus::Paused},
        {"play", {Ask::Play}, PlaybackStatus::Playing},
        {"pause, play", {Ask::Pause, Ask::Play}, PlaybackStatus::Playing},
        {"play, pause", {Ask::Play, Ask::Pause}, PlaybackStatus::Paused},
        {"pause, play, pause", {Ask::Pause, Ask::Play, Ask::Pause}, PlaybackStatus::Paused},
        {"pause, play, play", {Ask::Pause, Ask::Play, Ask::Play}, PlaybackStatus::Playing},
        {"play-pause twice", {Ask::PlayPause, Ask::PlayPause}, PlaybackStatus::Playing},
    };
    for (const auto& c : cases) {
        // A radio of its own for each: the pause switch outlives a stop.
        RadioFixture radio;
        radio.control.startSongs({QStringLiteral("/music/a.mp3"), QStringLiteral("/music/b.mp3")});
        radio.voice.finishSpeaking();
        radio.settings.Loops = true;
        radio.settings.NowTime = true;
        radio.settings.ManyTime = 1;
        radio.player.reachEnd();
        ASSERT_TRUE(radio.seq.waitingForVoice()) << c.name;
        for (const Ask ask : c.asked) {
            switch (ask) {
                case Ask::Play:
                    radio.control.play();
                    break;
                case Ask::Pause:
                    radio.control.pause();
                    break;
                case Ask::PlayPause:
                    radio.control.playPause();
                    break;
            }
        }
        radio.voice.finishSpeaking();
        ASSERT_TRUE(waitUntil([&] { return !radio.seq.waitingForVoice(); }, 2s)) << c.name;
        pumpFor(20ms);
        EXPECT_EQ(radio.control.status(), c.after) << c.name;
    }
}

TEST_F(RadioMediaControlTest, SongFilePlaysAtOnceAndKeepsTheList)
{
    const QStringList songs = startPlaylist(2);
    const QString extra = makeFile(QStringLiteral("Extra.MP3"));
    player.calls.clear();

    EXPECT_TRUE(control.openUri(url(extra)).isEmpty());
    EXPECT_EQ(player.calls.first(), QStringLiteral("CloseMPEG"));
    EXPECT_EQ(opened(), QStringList{extra});
    EXPECT_EQ(playlist.SongList(), songs);
    EXPECT_EQ(playlist.SongFile(), extra);
    ASSERT_TRUE(control.track());
    EXPECT_EQ(control.track()->path, extra);

    // The next song still comes from the accepted list.
    control.next();
    EXPECT_EQ(opened().last(), songs[1]);
}

TEST_F(RadioMediaControlTest, RefusedUrisChangeNothing)
{
    const QString empty = makeFile(QStringLiteral("empty.pyl"), {});
    const QString blank = makePlaylist(QStringLiteral("blank.pyl"), {QStringLiteral("  ")});
    const QString text = makeFile(QStringLiteral("notes.txt"));
    const QString noSuffix = makeFile(QStringLiteral("song"));
    const QList<QUrl> refused{QUrl(QStringLiteral("https://example.org/a.mp3")),
                              url(dir.filePath(QStringLiteral("missing.mp3"))),
                              url(dir.filePath(QStringLiteral("missing.pyl"))),
                              url(empty),
                              url(text),
                              url(noSuffix),
                              QUrl()};
    for (const QUrl& uri : refused) {
        EXPECT_FALSE(control.openUri(uri).isEmpty()) << uri.toString().toStdString();
    }
    // A playlist is taken to be read; it has nothing to play.
    ASSERT_TRUE(openPlaylist(blank).isEmpty());
    EXPECT_EQ(reports.last(), QStringLiteral("nothing to play"));
    EXPECT_TRUE(player.calls.filter(QStringLiteral("OpenMPEG")).isEmpty());
    EXPECT_TRUE(playlist.SongList().isEmpty());
    EXPECT_FALSE(playlist.ListAccepted());
    EXPECT_TRUE(announcer.calls.isEmpty());
    EXPECT_EQ(control.status(), PlaybackStatus::Stopped);
}

TEST_F(RadioMediaControlTest, LongPlaylistIsTakenWholeAsThePlaylistWindowTakesIt)
{
    constexpr int kSongs = 32767 + 5;
    const QStringList three{makeFile(QStringLiteral("0.mp3")), makeFile(QStringLiteral("1.mp3")),
                            makeFile(QStringLiteral("2.mp3"))};
    QStringList songs;
    for (int i = 0; i < kSongs; ++i) {
        songs << three.at(i % 3);
    }
    ASSERT_TRUE(openPlaylist(makePlaylist(QStringLiteral("huge.pyl"), songs)).isEmpty());
    EXPECT_EQ(playlist.SongCount(), kSongs);
    EXPECT_EQ(playlist.SongList(), songs);
    // Reverse from the first song lands on the last one.
    control.previous();
    EXPECT_EQ(opened().last(), songs.last());
}

TEST_F(RadioMediaControlTest, TrackTakesTheTagTitleElseTheFileName)
{
    Id3v1Tag tag;
    tag.title = QStringLiteral("Sé Tune");
    tag.artist = QStringLiteral("The Band");
    QByteArray bytes = QByteArray(1000, 'x') + *tag.toBytes();
    // A title padded with NULs after its text, as other taggers write.
    QByteArray padded = QByteArray(1000, 'x') + *tag.toBytes();
    padded.replace(1000 + Id3v1Tag::kTitleOffset, 30,
                   QByteArray("Short\0\0\0", 8) + QByteArray(22, '\0'));
    const QString tagged = makeFile(QStringLiteral("a.mp3"), bytes);
    const QString nulPadded = makeFile(QStringLiteral("b.mp3"), padded);
    const QString untagged = makeFile(QStringLiteral("c d.wav"));
    player.totalFrames = 110250;  // 2.5 s

    // Named by the file at once, by its tags as soon as they are read.
    const auto titled = [&](const QString& title) {
        return waitUntil([&] { return control.track() && control.track()->title == title; }, 3s);
    };
    ASSERT_TRUE(control.openUri(url(tagged)).isEmpty());
    ASSERT_TRUE(control.track());
    EXPECT_EQ(control.track()->title, QStringLiteral("a.mp3"));
    EXPECT_TRUE(titled(QStringLiteral("Sé Tune")));
    EXPECT_EQ(control.track()->artists, QStringList{QStringLiteral("The Band")});
    EXPECT_EQ(control.track()->lengthMs, 2500);
    const std::uint64_t first = control.track()->serial;

    ASSERT_TRUE(control.openUri(url(nulPadded)).isEmpty());
    EXPECT_TRUE(titled(QStringLiteral("Short")));

    ASSERT_TRUE(control.openUri(url(untagged)).isEmpty());
    // The untagged song is named by its file, not by the tag before it.
    testing_support::pumpFor(100ms);
    EXPECT_EQ(control.track()->title, QStringLiteral("c d.wav"));
    EXPECT_TRUE(control.track()->artists.isEmpty());
    EXPECT_EQ(control.track()->serial, first + 2);
}

TEST_F(RadioMediaControlTest, SameSongPlayedAgainIsANewTrack)
{
    startPlaylist(1);
    const std::uint64_t first = control.track()->serial;
    control.stop();
    EXPECT_EQ(control.track()->serial, first);  // stopped, still the song in hand
    control.play();
    EXPECT_EQ(control.track()->serial, first + 1);
}

TEST_F(RadioMediaControlTest, PositionIsThePlayersToTheMillisecond)
{
    player.totalFrames = 8820045;  // 200.001 s
    startPlaylist(1);
    player.positionMs = 123457;
    EXPECT_EQ(control.positionMs(), 123457);
    control.pause();
    EXPECT_EQ(control.positionMs(), 123457);
    control.stop();
    EXPECT_EQ(control.positionMs(), 0);
}

TEST_F(RadioMediaControlTest, SeekMovesWithinTheSongAndKeepsItsEnd)
{
    settings.FlushBack = true;
    player.totalFrames = 2701125;  // 61.25 s
    startPlaylist(2);
    const QStringList openedBefore = opened();
    std::vector<qint64> seeked;
    QObject::connect(&control, &MediaControl::seeked, [&](qint64 ms) { seeked.push_back(ms); });

    struct Case {
        const char* what;
        bool pausedFirst;
        std::int64_t to;
        std::int32_t startFrame;
        std::int64_t atMs;  // where the song then stands
    };
    // Frames are 1/44,100 s: the first that reads back as the millisecond.
    for (const Case& c :
         {Case{"playing", false, 10000, 441001, 10000}, Case{"paused", true, 20500, 904051, 20500},
          Case{"an odd millisecond", false, 12345, 544416, 12345},
          Case{"before the start", false, -5, 1, 0},
          Case{"past the end", false, 99999, 2701125, 61249}}) {
        if (c.pausedFirst) {
            control.pause();
        }
        player.calls.clear();
        ASSERT_TRUE(control.canSeek()) << c.what;
        EXPECT_TRUE(control.seekTo(c.to)) << c.what;
        EXPECT_EQ(player.calls.first(), QStringLiteral("PlayMPEG %1 2701125").arg(c.startFrame))
            << c.what;
        EXPECT_EQ(seq.StartFrame(), c.startFrame) << c.what;
        EXPECT_EQ(seq.EndFrame(), 2701125) << c.what;
        EXPECT_EQ(control.positionMs(), c.atMs) << c.what;
        EXPECT_EQ(seeked.back(), c.atMs) << c.what;
        // A paused song stays paused, silently, at its new place.
        EXPECT_EQ(control.status(),
                  c.pausedFirst ? PlaybackStatus::Paused : PlaybackStatus::Playing)
            << c.what;
        EXPECT_EQ(player.calls.last() == QStringLiteral("PauseMPEG"), c.pausedFirst) << c.what;
        if (c.pausedFirst) {
            control.play();
        }
    }
    EXPECT_EQ(openedBefore.size(), 1);
    EXPECT_TRUE(player.calls.filter(QStringLiteral("OpenMPEG")).isEmpty());  // none reopened it
}

TEST_F(RadioMediaControlTest, NoSeekWithoutASongThatPlays)
{
    EXPECT_FALSE(control.canSeek());  // nothing started yet
    EXPECT_FALSE(control.seekTo(1000));

    player.failingPaths << QStringLiteral("/music/song 1.mp3");
    // Started at once (no file to read), so that the failed song is still
    // the one in hand.
    ASSERT_TRUE(
        control
            .startSongs({QStringLiteral("/music/song 1.mp3"), QStringLiteral("/music/song 2.mp3")})
            .isEmpty());
    EXPECT_FALSE(control.canSeek());  // the first song would not open

    control.next();
    EXPECT_TRUE(control.canSeek());
    control.stop();
    EXPECT_FALSE(control.canSeek());

    control.play();
    voice.finishSpeaking();
    endSongWithAnnouncement();  // the song's end waits for the voice
    EXPECT_FALSE(control.canSeek());
    EXPECT_FALSE(control.seekTo(1000));
    EXPECT_TRUE(player.calls.filter(QStringLiteral("PlayMPEG 44101")).isEmpty());
}

TEST_F(RadioMediaControlTest, ShuffleAndLoopAreTheRandomAndLoopOptions)
{
    testing_support::SettingsSandbox sandbox;
    stored_settings::openStore(settings);
    settings.Loops = true;  // as loaded
    int changes = 0;
    QObject::connect(&control, &MediaControl::changed, [&] { ++changes; });

    control.setShuffle(true);
    EXPECT_TRUE(settings.Rands);
    EXPECT_TRUE(control.shuffle());
    EXPECT_EQ(stored_settings::stored(QStringLiteral("Rands")), QStringLiteral("True"));
    control.setLoop(false);
    EXPECT_FALSE(settings.Loops);
    EXPECT_FALSE(control.loop());
    EXPECT_EQ(stored_settings::stored(QStringLiteral("Loops")), QStringLiteral("False"));
    EXPECT_EQ(changes, 2);

    // The options window changes them the same way; the desktop hears of it.
    settings.Rands = false;
    settings.Loops = true;
    EXPECT_FALSE(control.shuffle());
    EXPECT_TRUE(control.loop());
    EXPECT_EQ(changes, 4);
    settings.ManyNews = 3;  // no option the desktop shows
    EXPECT_EQ(changes, 4);
    settings.Settings.reset();  // before the sandbox goes
}

TEST_F(RadioMediaControlTest, QuitWaitsForTheCallerToBeAnswered)
{
    control.raise();
    EXPECT_EQ(raises, 1);
    control.quit();
    EXPECT_EQ(quits, 0);
    pumpFor(20ms);
    EXPECT_EQ(quits, 1);
}

}  // namespace

// An mp3 with only an ID3v2 tag, as encoders write today: the desktop gets
// its title, artist, album and track number.
TEST_F(RadioMediaControlTest, TrackCarriesTheId3v2Tags)
{
    const QString song = QStringLiteral(TOLVAR_TAGS_TEST_MEDIA "/id3v2only.mp3");
    player.totalFrames = 46041;  // 1.044 s
    ASSERT_TRUE(control.openUri(url(song)).isEmpty());
    ASSERT_TRUE(
        waitUntil([&] { return control.track()->artists == QStringList{"Test Band"}; }, 3s));
    EXPECT_EQ(control.track()->title, QStringLiteral("Harbour Lights"));
    EXPECT_EQ(control.track()->album, QStringLiteral("Made Here"));
    EXPECT_EQ(control.track()->trackNumber, 7);
    EXPECT_EQ(control.track()->lengthMs, 1044);
}
