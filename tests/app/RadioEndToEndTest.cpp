// SPDX-License-Identifier: GPL-3.0-or-later
#include "../audio/AudioTestSupport.h"
#include "announcer/RadioAnnouncer.h"
#include "audio/AudioEngine.h"
#include "base/RandomSource.h"
#include "common/ForwardingMpegPlayer.h"
#include "common/TestSupport.h"
#include "playback/AcceptedPlaylist.h"
#include "playback/Sequencer.h"
#include "settings/RadioSettings.h"
#include "speech/TextToSpeech.h"

#include <gtest/gtest.h>

#include <QDir>

using namespace std::chrono_literals;

namespace {
// What happened, with what the voice was doing at that moment.
struct Event {
    QString what;
    int speakingBefore;
    std::uint64_t voiceFramesPlayed;
};

// Passes everything to the real player and notes when songs are opened.
class WatchedPlayer : public ForwardingMpegPlayer {
public:
    WatchedPlayer(AudioEngine& engine, SpeechEngine*& voice, std::vector<Event>& events)
        : ForwardingMpegPlayer(engine), engine_(engine), voice_(voice), events_(events)
    {
    }
    QString OpenMPEG(quintptr handle, const QString& path, const QString& type) override
    {
        note(QStringLiteral("open ") + QFileInfo(path).fileName());
        return ForwardingMpegPlayer::OpenMPEG(handle, path, type);
    }

    void note(const QString& what)
    {
        events_.push_back(
            {what, voice_ ? voice_->speakingState() : -1, engine_.voiceFramesPlayed()});
    }

private:
    AudioEngine& engine_;
    SpeechEngine*& voice_;
    std::vector<Event>& events_;
};

// The real voice, noting every text handed to it.
class WatchedVoice : public TextToSpeech {
public:
    WatchedVoice(AudioEngine& engine, WatchedPlayer& watch) : TextToSpeech(engine), watch_(watch) {}
    void speak(const QString& text) override
    {
        watch_.note(QStringLiteral("say ") + text);
        TextToSpeech::speak(text);
    }

private:
    WatchedPlayer& watch_;
};

const QString kMedia = QStringLiteral(TOLVAR_CORE_TEST_MEDIA);
}  // namespace

TEST(RadioEndToEnd, TheNextSongStartsAfterTheTimeHasBeenSpoken)
{
    // With or without the flush start, the voice and the songs keep their order.
    for (const bool flushBack : {false, true}) {
        SCOPED_TRACE(flushBack ? "flush back" : "no flush back");
        testing_support::SettingsSandbox sandbox;
        std::vector<Event> events;
        SpeechEngine* voiceSeen = nullptr;
        AudioEngine engine;
        WatchedPlayer player(engine, voiceSeen, events);
        WatchedVoice voice(engine, player);
        voiceSeen = &voice;

        RadioSettings settings;
        AcceptedPlaylist playlist;
        RandomSource random;
        settings.Loops = true;
        settings.NowTime = true;
        settings.ManyTime = 1;
        settings.ManyNews = 0;
        settings.FlushBack = flushBack;
        settings.FlushCount = 500;
        playlist.accept(
            {kMedia + QStringLiteral("/first.mp3"), kMedia + QStringLiteral("/second.mp3")});
        RadioAnnouncer announcer(settings, random, voice);
        announcer.setClock([] { return QTime(20, 5, 0); });
        Sequencer sequencer(settings, playlist, random, player, voice, announcer);

        sequencer.PlayIt();
        ASSERT_TRUE(testing_support::waitUntil(
            [&] {
                return std::any_of(events.begin(), events.end(),
                                   [](const Event& e) { return e.what == "open second.mp3"; });
            },
            30s));

        // first opened, the time said, the music welcomed back, then second.
        ASSERT_EQ(events.size(), 4u);
        EXPECT_EQ(events[0].what, QStringLiteral("open first.mp3"));
        EXPECT_TRUE(events[1].what.startsWith(QStringLiteral("say Tonights time is 08:05 ")))
            << events[1].what.toStdString();
        EXPECT_EQ(events[2].what, QStringLiteral("say And now,  back to the music."));
        EXPECT_EQ(events[3].what, QStringLiteral("open second.mp3"));

        // By then the announcement had been heard to its end: the voice was
        // silent and had played a good second of speech.
        EXPECT_EQ(events[2].speakingBefore, 0);
        EXPECT_GT(events[2].voiceFramesPlayed, events[1].voiceFramesPlayed + 11025);
        EXPECT_TRUE(sequencer.Playing());
    }
}

// Nothing said between the songs, FlushBack on as a fresh profile has it:
// each song is heard from its flush frame, right after the one before.
TEST(RadioEndToEnd, WithFlushBackSongsFollowFromTheirFlushFrameWithoutAGap)
{
    testing_support::SettingsSandbox sandbox;
    audio_test::SinkCapture capture;
    AudioEngine engine(audio_test::asMade(AudioEngine::Output::SilentClock));
    capture.attach(engine);
    engine.SetAutoRepeat(true);
    TextToSpeech voice(engine);
    RadioSettings settings;
    AcceptedPlaylist playlist;
    RandomSource random;
    settings.Loops = false;
    settings.FlushBack = true;
    settings.FlushCount = 500;
    // Songs at the output's rate, so what is heard is what they hold.
    const QString first = audio_test::media("tone.mp3");
    const QString second = audio_test::media("tagged.mp3");
    playlist.accept({first, second});
    RadioAnnouncer announcer(settings, random, voice);
    Sequencer sequencer(settings, playlist, random, engine, voice, announcer);

    sequencer.PlayIt();
    ASSERT_TRUE(testing_support::waitUntil([&] { return playlist.SongIndex() == 2; }, 10s));
    ASSERT_TRUE(testing_support::waitUntil([&] { return playlist.SongIndex() == 1; }, 10s));
    testing_support::pumpFor(100ms);
    sequencer.StopSong();

    audio_test::Pcm expected{44100, 2, {}};
    for (const QString& song : {first, second}) {
        const audio_test::Pcm whole = audio_test::decodeMpeg(song);
        const audio_test::Pcm heard = whole.slice(499, whole.frames() - 499);
        expected.samples.insert(expected.samples.end(), heard.samples.begin(), heard.samples.end());
    }
    const audio_test::Pcm played = audio_test::trimmed(capture.played());
    ASSERT_GT(played.frames(), expected.frames());
    EXPECT_TRUE(played.slice(0, expected.frames()).samples == expected.samples);
    EXPECT_TRUE(audio_test::silentRuns(played, 44).empty());  // no silence of 1 ms
}
