// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioTestSupport.h"
#include "audio/AudioEngine.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <cmath>
#include <csignal>
#include <thread>

using namespace audio_test;
using namespace std::chrono_literals;

namespace {

// Opens and plays a whole file with the output captured to disk.
Pcm playWhole(const QString& path, std::int32_t* totalFrames = nullptr)
{
    DiskCapture capture;
    {
        AudioEngine engine(asMade());
        const Opened opened = openSong(engine, path);
        EXPECT_EQ(opened.error, QString());
        const std::int32_t total = opened.totalFrames;
        if (totalFrames != nullptr) {
            *totalFrames = total;
        }
        engine.PlayMPEG(1, total);
        EXPECT_TRUE(waitForEnd(engine, 10s));
    }
    return capture.read();
}

void expectSameLength(const Pcm& played, double seconds)
{
    EXPECT_NEAR(played.seconds(), seconds, seconds * 0.01);
}

}  // namespace

TEST(AudioEngineOutput, WholeMp3ComesOutSampleForSample)
{
    std::int32_t total = 0;
    const Pcm played = trimmed(playWhole(media("tone.mp3"), &total));
    const Pcm reference = trimmed(decodeMpeg(media("tone.mp3")));
    EXPECT_EQ(total, 66150);
    ASSERT_EQ(reference.frames(), 66150u);  // gapless: exactly the source length
    expectSameLength(played, 1.5);
    EXPECT_GT(rms(played), 3000.0);
    EXPECT_TRUE(played.samples == reference.samples);
}

TEST(AudioEngineOutput, TaggedMp3AndMp2PlayLikeTheirSource)
{
    const Pcm tagged = trimmed(playWhole(media("tagged.mp3")));
    EXPECT_TRUE(tagged.samples == trimmed(decodeMpeg(media("tagged.mp3"))).samples);
    const Pcm layer2 = trimmed(playWhole(media("tone.mp2")));
    const Pcm reference = trimmed(decodeMpeg(media("tone.mp2")));
    expectSameLength(layer2, reference.seconds());
    EXPECT_TRUE(layer2.samples == reference.samples);
}

TEST(AudioEngineOutput, OtherRatesAndChannelCountsAreConverted)
{
    // 22.05 kHz mono mp3 and a 48 kHz wav reach the 44.1 kHz stereo output
    // whole and at their loudness.
    const Pcm chord = trimmed(playWhole(media("chord.mp3")));
    const Pcm chordSource = decodeMpeg(media("chord.mp3"));
    expectSameLength(chord, chordSource.seconds());
    EXPECT_NEAR(rms(chord), rms(chordSource), rms(chordSource) * 0.1);

    const Pcm wav = trimmed(playWhole(media("chord48.wav")));
    const Pcm wavSource = readSoundFile(media("chord48.wav"));
    expectSameLength(wav, 1.0);
    EXPECT_NEAR(rms(wav), rms(wavSource), rms(wavSource) * 0.1);
}

TEST(AudioEngineOutput, MidiPlaysItsWholeLength)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tune.mid"));
    // Three notes of a beat (96 ticks): the first at 120 bpm, then twice as
    // fast: one second.
    MidiWriter writer(96);
    writer.track().tempo(0, 500000).tempo(96, 250000).endTrack(0);
    writer.track().event(0, {0xC0, 0}).note(0, 60, 96).note(0, 64, 96).note(0, 67, 96).endTrack(0);
    ASSERT_TRUE(writer.save(path));
    std::int32_t total = 0;
    const Pcm played = playWhole(path, &total);
    EXPECT_EQ(total, frameBefore(1.0 + 0.25));  // the notes and the release tail
    const Pcm sound = trimmed(played);
    EXPECT_GT(rms(sound), 300.0);
    // It sounds from the start and lasts until about the last note's end.
    EXPECT_GT(sound.seconds(), 0.95);
    EXPECT_LE(sound.seconds(), 1.25 * 1.01);
}

TEST(AudioEngineOutput, RangePlaysExactlyThoseFrames)
{
    DiskCapture capture;
    {
        AudioEngine engine(asMade());
        ASSERT_EQ(openSong(engine, media("tone.mp3")).error, QString());
        engine.PlayMPEG(frameAt(0.5), frameBefore(1.0));
        ASSERT_TRUE(waitForEnd(engine, 5s));
    }
    const Pcm played = trimmed(capture.read());
    const Pcm expected = trimmed(decodeMpeg(media("tone.mp3")).slice(22050, 22050));
    EXPECT_EQ(played.frames(), expected.frames());
    EXPECT_TRUE(played.samples == expected.samples);
}

TEST(AudioEngineOutput, PauseHoldsThePlaceAndResumeGoesOn)
{
    DiskCapture capture;
    {
        AudioEngine engine(asMade());
        ASSERT_EQ(openSong(engine, media("tone.mp3")).error, QString());
        engine.PlayMPEG(1, engine.GetTotalframes());
        ASSERT_TRUE(waitFor([&] { return engine.GetPercent() >= 30; }, 5s));
        engine.PauseMPEG();
        QThread::msleep(100);
        const std::int32_t held = engine.GetPercent();
        QThread::msleep(400);
        EXPECT_EQ(engine.GetPercent(), held);
        EXPECT_EQ(engine.AreMPEGAtEnd(), 0);
        engine.ResumeMPEG();
        ASSERT_TRUE(waitForEnd(engine, 5s));
        EXPECT_EQ(engine.GetPercent(), 100);
    }
    const Pcm played = capture.read();
    const auto gaps = silentRuns(trimmed(played), 4096);
    ASSERT_EQ(gaps.size(), 1u);
    EXPECT_GE(gaps[0].end - gaps[0].begin, 44100u * 4 / 10);
    // Nothing lost, nothing played twice.
    EXPECT_TRUE(withoutGaps(played, 1024).samples ==
                trimmed(decodeMpeg(media("tone.mp3"))).samples);
}

TEST(AudioEngineOutput, StopThenPlayStartsAgain)
{
    DiskCapture capture;
    const Pcm reference = trimmed(decodeMpeg(media("tone.mp3")));
    {
        AudioEngine engine(asMade());
        ASSERT_EQ(openSong(engine, media("tone.mp3")).error, QString());
        engine.PlayMPEG(1, engine.GetTotalframes());
        ASSERT_TRUE(waitFor([&] { return engine.GetPercent() >= 20; }, 5s));
        engine.StopMPEG();
        EXPECT_EQ(engine.AreMPEGAtEnd(), 0);
        QThread::msleep(300);
        EXPECT_EQ(engine.GetTotalframes(), 66150);
        engine.PlayMPEG(1, engine.GetTotalframes());
        ASSERT_TRUE(waitForEnd(engine, 5s));
    }
    const Pcm played = trimmed(capture.read());
    ASSERT_GT(played.frames(), reference.frames());
    const Pcm tail = played.slice(played.frames() - reference.frames(), reference.frames());
    EXPECT_TRUE(tail.samples == reference.samples);
    // The stopped start really stopped: silence sits between the two.
    const Pcm head = played.slice(0, played.frames() - reference.frames());
    EXPECT_FALSE(silentRuns(head, 4096).empty());
}

TEST(AudioEngineTransport, EndIsReportedOnceAtTheEndOfEachRange)
{
    AudioEngine engine(asMade(AudioEngine::Output::SilentClock));
    engine.SetAutoRepeat(true);
    ASSERT_EQ(openSong(engine, media("tone.mp3")).error, QString());
    for (int round = 0; round < 2; ++round) {
        QElapsedTimer clock;
        clock.start();
        engine.PlayMPEG(frameAt(1.0), frameBefore(1.4));
        EXPECT_EQ(engine.AreMPEGAtEnd(), 0);
        int lastPercent = 0;
        ASSERT_TRUE(waitFor(
            [&] {
                const int percent = engine.GetPercent();
                EXPECT_GE(percent, lastPercent);
                lastPercent = percent;
                return engine.AreMPEGAtEnd() == 1;
            },
            5s));
        EXPECT_GE(clock.elapsed(), 350);  // 400 ms of audio at real-time pace
        for (int i = 0; i < 20; ++i) {
            QThread::msleep(10);
            ASSERT_EQ(engine.AreMPEGAtEnd(), 1);
        }
        EXPECT_EQ(engine.GetPercent(), 100);
    }
}

TEST(AudioEngineTransport, PositionFollowsThePlayToTheMillisecond)
{
    AudioEngine engine(asMade(AudioEngine::Output::SilentClock));
    engine.SetAutoRepeat(true);
    EXPECT_EQ(engine.GetPositionMs(), 0);  // nothing plays
    ASSERT_EQ(openSong(engine, media("tone.mp3")).error, QString());
    QElapsedTimer clock;
    clock.start();
    engine.PlayMPEG(frameAt(1.0), frameBefore(1.4));
    EXPECT_EQ(engine.GetPositionMs(), 1000);  // the range's start, at once
    std::int32_t last = 1000;
    ASSERT_TRUE(waitFor(
        [&] {
            const std::int32_t now = engine.GetPositionMs();
            EXPECT_GE(now, last);
            EXPECT_LE(now, 1000 + clock.elapsed() + 50);  // never ahead of the clock
            last = now;
            return engine.AreMPEGAtEnd() == 1;
        },
        5s));
    EXPECT_EQ(engine.GetPositionMs(), 1400);

    // Paused, the place holds; stopped, there is none.
    engine.PlayMPEG(1, 66150);
    ASSERT_TRUE(waitFor([&] { return engine.GetPositionMs() >= 300; }, 5s));
    engine.PauseMPEG();
    QThread::msleep(100);
    const std::int32_t held = engine.GetPositionMs();
    QThread::msleep(200);
    EXPECT_EQ(engine.GetPositionMs(), held);
    EXPECT_LT(held, 1500);
    engine.StopMPEG();
    EXPECT_EQ(engine.GetPositionMs(), 0);
}

TEST(AudioEngineTransport, AutoRepeatKeepsTheEndedSongOpen)
{
    AudioEngine engine(asMade(AudioEngine::Output::SilentClock));
    engine.SetAutoRepeat(true);
    ASSERT_EQ(openSong(engine, media("tone.mp3")).error, QString());
    engine.PlayMPEG(frameAt(1.2), 66150);
    ASSERT_TRUE(waitForEnd(engine, 5s));
    QThread::msleep(100);
    EXPECT_EQ(engine.GetTotalframes(), 66150);
    engine.PlayMPEG(frameAt(1.2), 66150);
    EXPECT_EQ(engine.AreMPEGAtEnd(), 0);  // it plays again, never by itself
    ASSERT_TRUE(waitForEnd(engine, 5s));
}

TEST(AudioEngineTransport, WithoutAutoRepeatTheEndedSongCloses)
{
    AudioEngine engine(asMade(AudioEngine::Output::SilentClock));
    engine.SetAutoRepeat(false);
    ASSERT_EQ(openSong(engine, media("tone.mp3")).error, QString());
    engine.PlayMPEG(frameAt(1.2), 66150);
    ASSERT_TRUE(waitForEnd(engine, 5s));
    ASSERT_TRUE(waitFor([&] { return engine.GetTotalframes() == 0; }, 2s));
    engine.PlayMPEG(1, 66150);
    EXPECT_EQ(engine.AreMPEGAtEnd(), 1);
    // A newly opened song plays as usual.
    EXPECT_EQ(openSong(engine, media("tone.mp3")).totalFrames, 66150);
}

TEST(AudioEngineTransport, FramesAre44100ASecondForEveryKindOfFile)
{
    AudioEngine engine(asMade(AudioEngine::Output::SilentClock));
    EXPECT_EQ(openSong(engine, media("chord.mp3")).totalFrames, 52920);
    // 48,000 frames of its own.
    EXPECT_EQ(openSong(engine, media("chord48.wav")).totalFrames, 44100);
    // Layer II has no gapless information: the decoder delay stays in.
    EXPECT_NEAR(openSong(engine, media("tone.mp2")).totalFrames, 66150, 2646);
}

TEST(AudioEngineTransport, NothingOpenReportsNoEndBeforeAPlay)
{
    AudioEngine engine(asMade(AudioEngine::Output::SilentClock));
    EXPECT_EQ(engine.AreMPEGAtEnd(), 0);
    EXPECT_EQ(engine.GetPercent(), 0);
    EXPECT_EQ(engine.GetTotalframes(), 0);
    engine.PauseMPEG();
    engine.ResumeMPEG();
    engine.StopMPEG();
    engine.CloseMPEG();
    EXPECT_EQ(engine.AreMPEGAtEnd(), 0);
    engine.PlayMPEG(1, 100);
    EXPECT_EQ(engine.AreMPEGAtEnd(), 1);  // nothing to play: the radio moves on
}

TEST(AudioEngineDevice, FallsBackToTheDummyDriverWhenNoDeviceOpens)
{
    const QByteArray previous = qgetenv("SDL_AUDIODRIVER");
    // A driver SDL lacks, and ALSA, which on a machine without a sound card
    // starts but opens no device.
    for (const char* driver : {"nosuchdriver", "alsa"}) {
        qputenv("SDL_AUDIODRIVER", driver);
        AudioEngine engine(asMade());
        const QString name = engine.outputName();
        EXPECT_TRUE(name == QStringLiteral("dummy") || name == QLatin1String(driver))
            << name.toStdString();
        ASSERT_EQ(openSong(engine, media("tone.mp3")).error, QString());
        engine.PlayMPEG(frameAt(1.3), 66150);
        EXPECT_TRUE(waitForEnd(engine, 5s)) << driver;
    }
    qputenv("SDL_AUDIODRIVER", previous);
}

namespace {

// Reads what SDL's disk driver writes into a named pipe. Closing the pipe
// makes the driver's next write fail, which SDL reports as a lost device.
class PipeListener {
public:
    explicit PipeListener(const QString& path) : path_(QFile::encodeName(path)) {}

    // Reads until `frames` frames with sound have come, then hangs up.
    void listenUntil(std::size_t frames)
    {
        const int fd = ::open(path_.constData(), O_RDONLY);
        if (fd < 0) {
            return;
        }
        fcntl(fd, F_SETPIPE_SZ, 4096);  // little left unread in the pipe when hanging up
        std::size_t heard = 0;
        std::int16_t block[2048];
        while (heard < frames) {
            const ssize_t got = ::read(fd, block, sizeof block);
            if (got <= 0) {
                break;
            }
            for (ssize_t i = 0; i + 1 < got / 2; i += 2) {
                heard += (block[i] != 0 || block[i + 1] != 0) ? 1 : 0;
            }
            keep(block, got);
        }
        ::close(fd);
    }
    // Reads until the writer closes.
    void listenToTheEnd()
    {
        const int fd = ::open(path_.constData(), O_RDONLY);
        if (fd < 0) {
            return;
        }
        std::int16_t block[2048];
        ssize_t got = 0;
        while ((got = ::read(fd, block, sizeof block)) > 0) {
            keep(block, got);
        }
        ::close(fd);
    }
    Pcm heard() const { return pcm_; }

private:
    void keep(const std::int16_t* block, ssize_t bytes)
    {
        pcm_.samples.insert(pcm_.samples.end(), block, block + (bytes / 4) * 2);
    }

    QByteArray path_;
    Pcm pcm_{44100, 2, {}};
};

}  // namespace

TEST(AudioEngineDevice, ALostDeviceIsReopenedAndTheSongGoesOn)
{
    std::signal(SIGPIPE, SIG_IGN);
    DiskCapture capture;
    ASSERT_EQ(::mkfifo(QFile::encodeName(capture.file()).constData(), 0600), 0);
    PipeListener first(capture.file());
    PipeListener second(capture.file());
    std::thread listener([&] {
        first.listenUntil(44100 / 2);
        std::this_thread::sleep_for(300ms);  // the device stays away a while
        second.listenToTheEnd();
    });
    {
        AudioEngine engine(asMade());  // opens the pipe: the listener is there
        ASSERT_EQ(engine.outputName(), QStringLiteral("disk"));
        ASSERT_EQ(openSong(engine, media("tone.mp3")).error, QString());
        engine.PlayMPEG(1, engine.GetTotalframes());
        ASSERT_TRUE(waitForEnd(engine, 10s));
        EXPECT_EQ(engine.outputName(), QStringLiteral("disk"));
    }
    listener.join();
    const Pcm reference = trimmed(decodeMpeg(media("tone.mp3")));
    const Pcm before = trimmed(first.heard());
    const Pcm after = trimmed(second.heard());
    ASSERT_GE(before.frames(), 44100u / 2);
    // The reopened device plays on from about where the old one went away:
    // only what was already in the pipe is missing, and the song's end is there.
    const long resumedAt = find(reference, after.slice(0, 4096));
    ASSERT_GE(resumedAt, 0);
    EXPECT_GE(static_cast<std::size_t>(resumedAt), before.frames());
    EXPECT_LE(static_cast<std::size_t>(resumedAt), before.frames() + 4096);
    EXPECT_EQ(static_cast<std::size_t>(resumedAt) + after.frames(), reference.frames());
}
