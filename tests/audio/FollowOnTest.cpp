// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioTestSupport.h"
#include "audio/AudioEngine.h"
#include "audio/PlayerEvents.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <thread>

using namespace audio_test;
using namespace std::chrono_literals;

namespace {

// Runs the event loop for a while (a song loaded ahead is ready well before).
void settle(std::chrono::milliseconds time = 500ms)
{
    waitFor([] { return false; }, time);
}

struct TwoSongs {
    QTemporaryDir dir;
    QString first = dir.filePath(QStringLiteral("first.wav"));
    QString second = dir.filePath(QStringLiteral("second.wav"));
    Pcm firstPcm;
    Pcm secondPcm;

    TwoSongs()
    {
        // Lengths that end in the middle of an output block.
        writeToneWav(first, 1.2345, 0.5, 330.0, true);
        writeToneWav(second, 0.8765, 0.4, 550.0, true);
        firstPcm = readSoundFile(first);
        secondPcm = readSoundFile(second);
    }
};

}  // namespace

TEST(FollowOn, SongsJoinWithoutInsertedSilence)
{
    TwoSongs songs;
    const QString third = songs.dir.filePath(QStringLiteral("third.wav"));
    writeToneWav(third, 0.6543, 0.3, 440.0, true);
    SinkCapture capture;
    AudioEngine::Options options = asMade(AudioEngine::Output::SilentClock);
    AudioEngine engine(options);
    capture.attach(engine);
    QSignalSpy ended(&engine.events(), &PlayerEvents::songEnded);
    ASSERT_EQ(openSong(engine, songs.first).error, QString());
    engine.PlayMPEG(1, engine.GetTotalframes());
    // A song loaded ahead and then replaced: its start, never heard, makes
    // room for the one that does come next.
    engine.preloadNext(third, FollowOn::No, 1);
    settle(300ms);
    // Each song loads the next ahead; the third goes where the first was.
    for (const QString& next : {songs.second, third}) {
        engine.preloadNext(next, FollowOn::Always, 1);
        const int before = ended.count();
        ASSERT_TRUE(waitFor([&] { return ended.count() == before + 1; }, 5s));
        EXPECT_EQ(engine.AreMPEGAtEnd(), 1);
        // What the program does at a song end with nothing to say: the song
        // that already follows on is taken over, not started again.
        engine.CloseMPEG();
        EXPECT_EQ(engine.OpenMPEG(0, next, QStringLiteral("MPEGVideo")), QString());
        EXPECT_NE(engine.GetTotalframes(), MpegPlayer::kLengthPending);  // known at once
        engine.PlayMPEG(1, engine.GetTotalframes());
        EXPECT_EQ(engine.AreMPEGAtEnd(), 0);
    }
    ASSERT_TRUE(waitForEnd(engine, 5s));
    ASSERT_TRUE(waitFor([&] { return ended.count() == 3; }, 2s));

    const Pcm played = trimmed(capture.played());
    Pcm expected = songs.firstPcm;
    for (const Pcm& next : {songs.secondPcm, readSoundFile(third)}) {
        expected.samples.insert(expected.samples.end(), next.samples.begin(), next.samples.end());
    }
    EXPECT_EQ(played.frames(), expected.frames());
    EXPECT_TRUE(played.samples == expected.samples);
}

// What the program does at a song end with FlushBack on: the song loaded
// ahead from its flush frame is opened and given the start, stop and second
// start. Whether it followed on by itself or waited, it is heard from that
// frame right after the song before, once, with nothing cut or repeated.
TEST(FollowOn, AFlushStartTakesTheSongLoadedAheadFromItsFlushFrame)
{
    struct Case {
        const char* what;
        FollowOn followOn;
        std::int32_t flushFrame;
    };
    for (const Case& c : {Case{"following on", FollowOn::Always, 500},
                          Case{"following on, from further in", FollowOn::Always, frameAt(0.25)},
                          Case{"waiting decoded", FollowOn::No, 500}}) {
        TwoSongs songs;
        SinkCapture capture;
        AudioEngine engine(asMade(AudioEngine::Output::SilentClock));
        engine.SetAutoRepeat(true);
        capture.attach(engine);
        QSignalSpy ended(&engine.events(), &PlayerEvents::songEnded);
        ASSERT_EQ(openSong(engine, songs.first).error, QString()) << c.what;
        engine.PlayMPEG(1, engine.GetTotalframes());
        engine.preloadNext(songs.second, c.followOn, c.flushFrame);
        ASSERT_TRUE(waitFor([&] { return ended.count() == 1; }, 5s)) << c.what;
        engine.CloseMPEG();
        ASSERT_EQ(engine.OpenMPEG(0, songs.second, QStringLiteral("MPEGVideo")), QString());
        engine.PlayMPEG(10, engine.GetTotalframes());
        engine.StopMPEG();
        engine.PlayMPEG(c.flushFrame, engine.GetTotalframes());
        ASSERT_TRUE(waitFor([&] { return ended.count() == 2; }, 5s)) << c.what;

        const auto from = static_cast<std::size_t>(c.flushFrame - 1);
        const Pcm rest = songs.secondPcm.slice(from, songs.secondPcm.frames() - from);
        const Pcm played = trimmed(capture.played());
        if (c.followOn == FollowOn::No) {
            // The program started it; the output may have paused before.
            const long at = find(played, rest.slice(0, 2000));
            ASSERT_GE(at, 0) << c.what;
            EXPECT_EQ(static_cast<std::size_t>(at) + rest.frames(), played.frames()) << c.what;
            EXPECT_TRUE(played.slice(static_cast<std::size_t>(at), rest.frames()).samples ==
                        rest.samples)
                << c.what;
            continue;
        }
        Pcm expected = songs.firstPcm;
        expected.samples.insert(expected.samples.end(), rest.samples.begin(), rest.samples.end());
        EXPECT_EQ(played.frames(), expected.frames()) << c.what;
        EXPECT_TRUE(played.samples == expected.samples) << c.what;
    }
}

TEST(FollowOn, WhileTheVoiceTalksTheNextSongWaitsForTheProgram)
{
    TwoSongs songs;
    SinkCapture capture;
    AudioEngine::Options options = asMade(AudioEngine::Output::SilentClock);
    AudioEngine engine(options);
    capture.attach(engine);
    ASSERT_EQ(openSong(engine, songs.first).error, QString());
    engine.PlayMPEG(frameAt(1.2), engine.GetTotalframes());
    engine.preloadNext(songs.second, FollowOn::WhenVoiceIdle, 1);
    // A voice that goes on past the end of the song.
    const std::vector<std::int16_t> voice(22050, 1000);
    ASSERT_TRUE(engine.pushVoice(voice.data(), voice.size(), 22050, 1));
    ASSERT_TRUE(waitForEnd(engine, 5s));
    ASSERT_TRUE(waitFor([&] { return engine.voiceIdle(); }, 5s));
    settle(200ms);
    // Nothing followed on: the program starts the next song when it wants,
    // from its beginning and at once.
    engine.CloseMPEG();
    EXPECT_EQ(engine.OpenMPEG(0, songs.second, QStringLiteral("MPEGVideo")), QString());
    engine.PlayMPEG(1, engine.GetTotalframes());
    ASSERT_TRUE(waitForEnd(engine, 5s));

    // (The output took no blocks while nothing was to be heard: the pause
    // before the next song is not in the capture.)
    const Pcm played = capture.played();
    const long secondAt = find(played, songs.secondPcm.slice(0, 2000));
    ASSERT_GE(secondAt, 0);
    EXPECT_GE(secondAt, 44100);  // after the voice, not at the end of the song
    EXPECT_TRUE(
        played.slice(static_cast<std::size_t>(secondAt), songs.secondPcm.frames()).samples ==
        songs.secondPcm.samples);
}

TEST(FollowOn, ASongLoadedAheadAnswersItsOpenAtOnce)
{
    TwoSongs songs;
    AudioEngine engine(asMade(AudioEngine::Output::SilentClock));
    const QString missing = songs.dir.filePath(QStringLiteral("missing.mp3"));
    engine.preloadNext(missing, FollowOn::No, 1);
    settle();
    QSignalSpy failed(&engine.events(), &PlayerEvents::songFailed);
    EXPECT_FALSE(engine.OpenMPEG(0, missing, QStringLiteral("MPEGVideo")).isEmpty());
    engine.PlayMPEG(1, engine.GetTotalframes());
    EXPECT_EQ(engine.AreMPEGAtEnd(), 1);

    engine.preloadNext(songs.first, FollowOn::No, 1);
    settle();
    QSignalSpy opened(&engine.events(), &PlayerEvents::songOpened);
    EXPECT_EQ(engine.OpenMPEG(0, songs.first, QStringLiteral("MPEGVideo")), QString());
    EXPECT_EQ(engine.GetTotalframes(), static_cast<std::int32_t>(songs.firstPcm.frames()));
    ASSERT_TRUE(opened.wait(2000));  // told as for any open, through the event loop
    EXPECT_EQ(failed.count(), 0);
}

TEST(AsyncOpen, TheOpenHappensOffTheCallersThreadAndIsToldAfterwards)
{
    TwoSongs songs;
    AudioEngine::Options options = asMade(AudioEngine::Output::Unpaced);
    AudioEngine engine(options);
    engine.SetAutoRepeat(true);  // as the program has it: the ended song stays open
    QSignalSpy opened(&engine.events(), &PlayerEvents::songOpened);
    QSignalSpy failed(&engine.events(), &PlayerEvents::songFailed);
    QSignalSpy ended(&engine.events(), &PlayerEvents::songEnded);

    EXPECT_EQ(engine.OpenMPEG(0, songs.first, QStringLiteral("MPEGVideo")), QString());
    EXPECT_EQ(engine.GetTotalframes(), MpegPlayer::kLengthPending);
    // Played before its length is known: to the end.
    engine.PlayMPEG(1, engine.GetTotalframes());
    EXPECT_EQ(engine.AreMPEGAtEnd(), 0);
    ASSERT_TRUE(opened.wait(5000));
    const auto song = opened.takeFirst().at(0).value<OpenedSong>();
    EXPECT_EQ(song.path, songs.first);
    EXPECT_EQ(song.totalFrames, static_cast<std::int32_t>(songs.firstPcm.frames()));
    EXPECT_EQ(engine.GetTotalframes(), song.totalFrames);
    ASSERT_TRUE(waitForEnd(engine, 5s));
    ASSERT_TRUE(waitFor([&] { return ended.count() == 1; }, 2s));

    // A song that cannot be opened counts as ended at once, with no song end told.
    const QString missing = songs.dir.filePath(QStringLiteral("missing.mp3"));
    EXPECT_EQ(engine.OpenMPEG(0, missing, QStringLiteral("MPEGVideo")), QString());
    engine.PlayMPEG(1, engine.GetTotalframes());
    EXPECT_EQ(engine.AreMPEGAtEnd(), 0);  // not known yet
    ASSERT_TRUE(failed.wait(5000));
    EXPECT_EQ(failed.at(0).at(0).toString(), missing);
    EXPECT_TRUE(failed.at(0).at(1).toString().contains(QStringLiteral("not found")));
    EXPECT_EQ(engine.AreMPEGAtEnd(), 1);
    EXPECT_EQ(engine.GetTotalframes(), 0);
    settle(100ms);
    EXPECT_EQ(ended.count(), 1);
}

TEST(IdleOutput, PausesWithNothingToHearAndWakesForMusicOrVoice)
{
    TwoSongs songs;
    SinkCapture capture;
    AudioEngine::Options options = asMade(AudioEngine::Output::SilentClock);
    AudioEngine engine(options);
    capture.attach(engine);
    const auto stillFor = [&](std::chrono::milliseconds time) {
        const std::size_t before = capture.blocks();
        std::this_thread::sleep_for(time);
        return capture.blocks() == before;
    };
    ASSERT_TRUE(waitFor([&] { return engine.outputPaused(); }, 3s));
    EXPECT_TRUE(stillFor(200ms));

    const std::vector<std::int16_t> voice(4410, 3000);
    ASSERT_TRUE(engine.pushVoice(voice.data(), voice.size(), 22050, 1));
    ASSERT_TRUE(waitFor([&] { return peak(capture.played()) > 0; }, 2s));  // heard
    ASSERT_TRUE(waitFor([&] { return engine.outputPaused(); }, 3s));
    EXPECT_TRUE(stillFor(200ms));

    ASSERT_EQ(openSong(engine, songs.first).error, QString());
    engine.PlayMPEG(1, engine.GetTotalframes());
    ASSERT_TRUE(waitFor([&] { return engine.GetPercent() >= 20; }, 3s));
    EXPECT_FALSE(engine.outputPaused());
    engine.PauseMPEG();
    ASSERT_TRUE(waitFor([&] { return engine.outputPaused(); }, 3s));
    const std::int32_t held = engine.GetPercent();
    EXPECT_TRUE(stillFor(200ms));
    engine.ResumeMPEG();
    ASSERT_TRUE(waitFor([&] { return engine.GetPercent() > held; }, 3s));
    ASSERT_TRUE(waitForEnd(engine, 5s));
    ASSERT_TRUE(waitFor([&] { return engine.outputPaused(); }, 3s));

    // Nothing was lost on the way: the song came out whole around the pause.
    const Pcm played = capture.played();
    const Pcm& song = songs.firstPcm;
    const long at = find(played, song.slice(0, 1000));
    ASSERT_GE(at, 0);
    const auto from = static_cast<std::size_t>(at);
    const Pcm rest = withoutGaps(played.slice(from, played.frames() - from), 64);
    ASSERT_GE(rest.frames(), song.frames());
    EXPECT_TRUE(rest.slice(0, song.frames()).samples == song.samples);
}
