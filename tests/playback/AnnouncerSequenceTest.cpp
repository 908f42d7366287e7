// SPDX-License-Identifier: GPL-3.0-or-later
#include "announcer/RadioAnnouncer.h"
#include "playback/Sequencer.h"

#include "base/RandomSource.h"
#include "common/FakeMpegPlayer.h"
#include "common/FakeSpeechEngine.h"
#include "common/LocalHttpServer.h"
#include "common/TestSupport.h"
#include "playback/AcceptedPlaylist.h"
#include "settings/RadioSettings.h"

#include <gtest/gtest.h>

#include <QLocale>

using namespace std::chrono_literals;
using testing_support::pumpFor;
using testing_support::waitUntil;

namespace {
SongInfo titled(const QString& title)
{
    SongInfo info;
    info.title = title;
    return info;
}

const QByteArray kFeed =
    "<backslash><story><title>Alpha</title><url>u</url><time>t</time><author>a</author></story>"
    "<story><title>Beta</title><url>u</url><time>t</time><author>a</author></story>"
    "</backslash>";

class AnnouncerSequenceTest : public ::testing::Test {
protected:
    AnnouncerSequenceTest()
    {
        settings.Loops = true;
        settings.NowTime = true;
        settings.NowNews = true;
        settings.ManyTime = 1;
        settings.ManyNews = 1;
        playlist.accept({QStringLiteral("/music/1.mp3"), QStringLiteral("/music/2.mp3")});
        seq.setSongInfoReader([](const QString& path) -> std::optional<SongInfo> {
            if (path == QLatin1String("/music/1.mp3")) {
                return titled(QStringLiteral("Song One"));
            }
            return std::nullopt;
        });
        announcer.setClock([] { return QTime(21, 7, 0); });
        announcer.setNewsHost(server.host());
        announcer.setFetchTimeout(2s);
    }

    // Plays song 1 to its end, once its title has been read, and lets the
    // sequencer take over.
    void endFirstSong()
    {
        seq.PlayIt();
        ASSERT_TRUE(waitUntil([&] { return !seq.SongTitle().isEmpty(); }, 2s));
        player.reachEnd();
    }

    bool secondSongOpened() const { return log.contains(QStringLiteral("open /music/2.mp3")); }

    QStringList log;
    RadioSettings settings;
    AcceptedPlaylist playlist;
    RandomSource random;
    FakeMpegPlayer player{&log};
    FakeSpeechEngine voice{&log};
    RadioAnnouncer announcer{settings, random, voice};
    Sequencer seq{settings, playlist, random, player, voice, announcer};
    LocalHttpServer server;
};

}  // namespace

TEST_F(AnnouncerSequenceTest, ASlowFeedIsWaitedForAndEverythingComesInOrder)
{
    server.setHandler([](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer = LocalHttpServer::ok(kFeed);
        answer.delay = 500ms;
        return answer;
    });
    endFirstSong();
    ASSERT_TRUE(waitUntil([&] { return announcer.newsPending(); }, 2s));

    // The voice has finished what it had, but the headlines have not come.
    voice.finishSpeaking();
    pumpFor(250ms);
    EXPECT_FALSE(secondSongOpened());

    ASSERT_TRUE(waitUntil([&] { return log.contains(QStringLiteral("say Beta")); }, 5s));
    pumpFor(250ms);
    EXPECT_FALSE(secondSongOpened()) << "the headlines are still being read";
    voice.finishSpeaking();
    ASSERT_TRUE(waitUntil([&] { return secondSongOpened(); }, 2s));

    const QString time = QStringLiteral("09:07 ") + QLocale::system().pmText();
    const QStringList expected = {
        QStringLiteral("open /music/1.mp3"),
        "say That was Song One,    " + announcer.SpeechText() + ",       And Tonights time is " +
            time,
        QStringLiteral("say Tonights tech headlines are as follows ...    "),
        QStringLiteral("say Alpha"),
        QStringLiteral("say Beta"),
        QStringLiteral("say And now,  back to the music."),
        QStringLiteral("open /music/2.mp3"),
    };
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(seq.SongTitle().isEmpty());
}

TEST_F(AnnouncerSequenceTest, AFailedFetchLeavesTheHeadlineIntroOnly)
{
    server.setHandler([](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer;
        answer.hangUp = true;
        return answer;
    });
    settings.NowTime = false;
    endFirstSong();
    ASSERT_TRUE(waitUntil([&] { return log.size() >= 2; }, 2s));
    voice.finishSpeaking();
    ASSERT_TRUE(waitUntil([&] { return secondSongOpened(); }, 5s));
    EXPECT_EQ(log,
              (QStringList{QStringLiteral("open /music/1.mp3"),
                           QStringLiteral("say Tonights tech headlines are as follows ...    "),
                           QStringLiteral("say And now,  back to the music."),
                           QStringLiteral("open /music/2.mp3")}));
}

TEST_F(AnnouncerSequenceTest, TimeDueWithOnlyNewsSwitchedOnSaysNothingButBackToTheMusic)
{
    settings.NowTime = false;
    settings.ManyNews = 2;
    endFirstSong();
    ASSERT_TRUE(waitUntil([&] { return secondSongOpened(); }, 3s));
    EXPECT_EQ(log, (QStringList{QStringLiteral("open /music/1.mp3"),
                                QStringLiteral("say And now,  back to the music."),
                                QStringLiteral("open /music/2.mp3")}));
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(AnnouncerSequenceTest, WithoutLoopsTheAnnouncerNeverSpeaks)
{
    settings.Loops = false;
    endFirstSong();
    ASSERT_TRUE(waitUntil([&] { return secondSongOpened(); }, 3s));
    EXPECT_EQ(log, (QStringList{QStringLiteral("open /music/1.mp3"),
                                QStringLiteral("open /music/2.mp3")}));
    // Song 2 has no title of its own; song 1's is not kept for it.
    EXPECT_TRUE(seq.SongTitle().isEmpty());
}

TEST_F(AnnouncerSequenceTest, WithSlowTheNextSongStartsAtOnceButTheHeadlinesStillComeFirst)
{
    server.setHandler([](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer = LocalHttpServer::ok(kFeed);
        answer.delay = 300ms;
        return answer;
    });
    settings.Slow = true;
    settings.NowTime = false;
    endFirstSong();
    ASSERT_TRUE(waitUntil([&] { return secondSongOpened(); }, 2s));
    EXPECT_TRUE(announcer.newsPending()) << "the song does not wait for the feed";

    ASSERT_TRUE(waitUntil(
        [&] { return log.contains(QStringLiteral("say And now,  back to the music.")); }, 5s));
    EXPECT_EQ(log,
              (QStringList{QStringLiteral("open /music/1.mp3"),
                           QStringLiteral("say Tonights tech headlines are as follows ...    "),
                           QStringLiteral("open /music/2.mp3"), QStringLiteral("say Alpha"),
                           QStringLiteral("say Beta"),
                           QStringLiteral("say And now,  back to the music.")}));
}
