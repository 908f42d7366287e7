// SPDX-License-Identifier: GPL-3.0-or-later
#include "announcer/RadioAnnouncer.h"
#include "audio/AudioEngine.h"
#include "audio/AudioTestSupport.h"
#include "base/RandomSource.h"
#include "common/ForwardingMpegPlayer.h"
#include "common/ForwardingSpeechEngine.h"
#include "common/LocalHttpServer.h"
#include "common/TestSupport.h"
#include "playback/AcceptedPlaylist.h"
#include "playback/Sequencer.h"
#include "settings/RadioSettings.h"
#include "speech/TextToSpeech.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <mutex>

using namespace std::chrono_literals;

namespace {

// The real player, logging each opened song with the voice frames played so far.
class LoggingPlayer : public ForwardingMpegPlayer {
public:
    LoggingPlayer(AudioEngine& engine, QStringList& log)
        : ForwardingMpegPlayer(engine), engine_(engine), log_(log)
    {
    }

    QString OpenMPEG(quintptr handle, const QString& path, const QString& type) override
    {
        log_ << QStringLiteral("open ") + path;
        voiceFramesAtOpen.append(engine_.voiceFramesPlayed());
        return ForwardingMpegPlayer::OpenMPEG(handle, path, type);
    }

    QList<std::uint64_t> voiceFramesAtOpen;

private:
    AudioEngine& engine_;
    QStringList& log_;
};

class WordRecorder {
public:
    WordListener listener()
    {
        return [this](const SpokenWord& w) {
            const std::lock_guard<std::mutex> guard(mutex_);
            words_ << w.word.toLower();
        };
    }
    QStringList words() const
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        return words_;
    }

private:
    mutable std::mutex mutex_;
    QStringList words_;
};

}  // namespace

// Two songs, the time and the headlines due after each: the real player, the
// real voice, the real tag reading and an RSS feed on this machine, named by
// its URL, that takes a moment to answer. The first song carries only an
// ID3v2 tag.
TEST(HeadlineEndToEnd, HeadlinesAreReadBetweenTheSongs)
{
    testing_support::SettingsSandbox sandbox;
    LocalHttpServer server([](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer = LocalHttpServer::ok(
            "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Site</title>"
            "<item><title>Penguins learn to fly</title><link>http://x/1</link></item>"
            "<item><title>Robots write poetry</title><link>http://x/2</link></item>"
            "</channel></rss>");
        answer.delay = 400ms;
        return answer;
    });

    QStringList log;
    AudioEngine engine;
    TextToSpeech talk(engine);
    WordRecorder words;
    talk.setWordListener(words.listener());
    talk.setSpeed(320);
    LoggingPlayer player(engine, log);
    ForwardingSpeechEngine voice(talk, &log);

    RadioSettings settings;
    AcceptedPlaylist playlist;
    RandomSource random;
    settings.Loops = true;
    settings.NowTime = true;
    settings.NowNews = true;
    settings.ManyTime = 1;
    settings.ManyNews = 1;
    const QString first = QStringLiteral(TOLVAR_TAGS_TEST_MEDIA "/id3v2only.mp3");
    const QString second = audio_test::media("chord.wav");
    playlist.accept({first, second});

    RadioAnnouncer announcer(settings, random, voice);
    announcer.setClock([] { return QTime(21, 7, 0); });
    announcer.setNewsHost(server.url(QStringLiteral("/feed.xml")));
    Sequencer sequencer(settings, playlist, random, player, voice, announcer);

    sequencer.PlayIt();
    // The tags are read off the GUI thread, long before the song ends.
    EXPECT_TRUE(testing_support::waitUntil(
        [&] { return sequencer.SongTitle() == QStringLiteral("Harbour Lights"); }, 5s));
    const QString openSecond = QStringLiteral("open ") + second;
    ASSERT_TRUE(testing_support::waitUntil([&] { return log.contains(openSecond); }, 60s))
        << log.join(QLatin1Char('\n')).toStdString();

    const QString time = QStringLiteral("09:07 ") + QLocale::system().pmText();
    const QStringList expected = {
        QStringLiteral("open ") + first,
        "say That was Harbour Lights,    " + announcer.SpeechText() + ",       And Tonights time is " +
            time,
        QStringLiteral("say Tonights tech headlines are as follows ...    "),
        QStringLiteral("say Penguins learn to fly"),
        QStringLiteral("say Robots write poetry"),
        QStringLiteral("say And now,  back to the music."),
        openSecond,
    };
    EXPECT_EQ(log, expected);
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().front().path, "/feed.xml");

    // Everything before "And now" was heard before the second song began: the
    // sequencer waited for the last sample of the headlines.
    const QStringList heard = words.words();
    EXPECT_GE(heard.indexOf(QStringLiteral("harbour")), 0) << heard.join(' ').toStdString();
    const qsizetype penguins = heard.indexOf(QStringLiteral("penguins"));
    const qsizetype robots = heard.indexOf(QStringLiteral("robots"));
    EXPECT_GE(penguins, 0) << heard.join(' ').toStdString();
    EXPECT_GT(robots, penguins);
    ASSERT_EQ(player.voiceFramesAtOpen.size(), 2);
    // Several seconds of speech at 22.05 kHz, far more than any single phrase.
    EXPECT_GT(player.voiceFramesAtOpen.at(1), 3u * 22050u);

    sequencer.halt();
    talk.stop();
    engine.StopMPEG();
}
