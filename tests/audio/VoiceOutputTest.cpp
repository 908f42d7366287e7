// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioTestSupport.h"
#include "audio/AudioEngine.h"

#include <gtest/gtest.h>

#include <sndfile.h>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace audio_test;
using namespace std::chrono_literals;

namespace {

std::vector<std::int16_t> sine(int rate, int channels, double seconds, double frequency,
                               double level)
{
    const auto frames = static_cast<std::size_t>(std::lround(rate * seconds));
    std::vector<std::int16_t> samples(frames * static_cast<std::size_t>(channels));
    for (std::size_t f = 0; f < frames; ++f) {
        const double v = level * 32767.0 * std::sin(2.0 * M_PI * frequency * f / rate);
        for (int c = 0; c < channels; ++c) {
            samples[f * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] =
                static_cast<std::int16_t>(std::lround(v));
        }
    }
    return samples;
}

bool writeWav(const QString& path, const std::vector<std::int16_t>& samples, int rate, int channels)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (file == nullptr) {
        return false;
    }
    sf_writef_short(file, samples.data(), static_cast<sf_count_t>(samples.size()) / channels);
    sf_close(file);
    return true;
}

// Longest run of samples pinned at full scale in one channel.
std::size_t longestFullScaleRun(const Pcm& pcm)
{
    std::size_t longest = 0;
    for (int c = 0; c < pcm.channels; ++c) {
        std::size_t run = 0;
        for (std::size_t f = 0; f < pcm.frames(); ++f) {
            const int s = pcm.samples[f * 2 + static_cast<std::size_t>(c)];
            run = (s >= 32767 || s <= -32768) ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

}  // namespace

TEST(VoiceOutput, PushedVoiceComesOutWholeAtAnyRate)
{
    DiskCapture capture;
    const auto voice = sine(22050, 1, 0.8, 300.0, 0.5);
    {
        AudioEngine engine(asMade());
        EXPECT_TRUE(engine.voiceIdle());
        // In uneven pieces, as a synthesizer hands them over.
        std::size_t done = 0;
        for (std::size_t piece : {1000u, 4410u, 3u, 8000u}) {
            ASSERT_TRUE(engine.pushVoice(voice.data() + done, piece, 22050, 1));
            done += piece;
        }
        ASSERT_TRUE(engine.pushVoice(voice.data() + done, voice.size() - done, 22050, 1));
        EXPECT_FALSE(engine.voiceIdle());
        ASSERT_TRUE(waitFor([&] { return engine.voiceIdle(); }, 5s));
        EXPECT_EQ(engine.voiceFramesPlayed(), voice.size());
    }
    const Pcm played = trimmed(capture.read());
    EXPECT_NEAR(played.seconds(), 0.8, 0.008);
    EXPECT_NEAR(rms(played), 0.5 * 32767 / std::sqrt(2.0), 300.0);
}

TEST(VoiceOutput, FramesPlayedGrowWithTheOutputAndCountAtThePushedRate)
{
    AudioEngine engine({AudioEngine::Output::SilentClock});
    const auto voice = sine(16000, 2, 1.0, 440.0, 0.3);
    ASSERT_TRUE(engine.pushVoice(voice.data(), voice.size() / 2, 16000, 2));
    std::this_thread::sleep_for(400ms);
    const std::uint64_t partway = engine.voiceFramesPlayed();
    EXPECT_GT(partway, 16000u * 2 / 10);
    EXPECT_LT(partway, 16000u * 8 / 10);
    ASSERT_TRUE(waitFor([&] { return engine.voiceIdle(); }, 5s));
    EXPECT_EQ(engine.voiceFramesPlayed(), 16000u);
}

TEST(VoiceOutput, PushBlocksAtASecondQueuedAndFlushCutsItShort)
{
    AudioEngine engine({AudioEngine::Output::SilentClock});
    const auto voice = sine(22050, 1, 4.0, 200.0, 0.3);
    std::atomic<bool> returned{false};
    std::atomic<bool> result{true};
    std::thread producer([&] {
        result = engine.pushVoice(voice.data(), voice.size(), 22050, 1);
        returned = true;
    });
    std::this_thread::sleep_for(600ms);
    EXPECT_FALSE(returned.load());  // four seconds do not fit into the queue
    EXPECT_FALSE(engine.voiceIdle());
    QElapsedTimer clock;
    clock.start();
    engine.flushVoice();
    ASSERT_TRUE(waitFor([&] { return returned.load(); }, 2s));
    EXPECT_LT(clock.elapsed(), 100);
    producer.join();
    EXPECT_FALSE(result.load());
    EXPECT_TRUE(engine.voiceIdle());
    const std::uint64_t played = engine.voiceFramesPlayed();
    EXPECT_LT(played, 22050u);  // flushed frames never count
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(engine.voiceFramesPlayed(), played);
    // The voice takes new input after a flush.
    const auto more = sine(22050, 1, 0.1, 200.0, 0.3);
    EXPECT_TRUE(engine.pushVoice(more.data(), more.size(), 22050, 1));
    ASSERT_TRUE(waitFor([&] { return engine.voiceIdle(); }, 2s));
    EXPECT_EQ(engine.voiceFramesPlayed(), played + more.size());
}

TEST(VoiceOutput, SmallPushesReturnAtOnce)
{
    AudioEngine engine({AudioEngine::Output::SilentClock});
    const auto voice = sine(22050, 1, 0.5, 200.0, 0.3);
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(engine.pushVoice(voice.data(), voice.size(), 22050, 1));
    EXPECT_LT(clock.elapsed(), 100);
    EXPECT_FALSE(engine.pushVoice(nullptr, 10, 22050, 1));
    EXPECT_FALSE(engine.pushVoice(voice.data(), 10, 0, 1));
    EXPECT_FALSE(engine.pushVoice(voice.data(), 10, 22050, 0));
    EXPECT_TRUE(engine.pushVoice(voice.data(), 0, 22050, 1));
}

TEST(VoiceOutput, LoudVoiceOverLoudMusicDoesNotClip)
{
    QTemporaryDir dir;
    const QString loud = dir.filePath(QStringLiteral("loud.wav"));
    ASSERT_TRUE(writeWav(loud, sine(44100, 2, 1.5, 440.0, 0.95), 44100, 2));
    const auto voice = sine(22050, 1, 0.5, 523.0, 0.95);
    DiskCapture capture;
    {
        AudioEngine engine;
        ASSERT_EQ(openSong(engine, loud).error, QString());
        engine.PlayMPEG(1, engine.GetTotalframes());
        ASSERT_TRUE(waitFor([&] { return engine.GetPercent() >= 20; }, 5s));
        ASSERT_TRUE(engine.pushVoice(voice.data(), voice.size(), 22050, 1));
        ASSERT_TRUE(waitForEnd(engine, 5s));
        EXPECT_TRUE(engine.voiceIdle());
    }
    const Pcm played = trimmed(capture.read());
    EXPECT_NEAR(played.seconds(), 1.5, 0.015);
    EXPECT_LE(longestFullScaleRun(played), 1u);
    // Both are heard: where they overlap the output differs from the music.
    const Pcm music = readSoundFile(loud);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < played.samples.size() && i < music.samples.size(); ++i) {
        differing += played.samples[i] != music.samples[i] ? 1 : 0;
    }
    EXPECT_GT(differing, 2u * 22050u * 8 / 10);
}

TEST(VoiceOutput, TheIdleListenerHearsOfTheSilenceAfterTheLastSample)
{
    AudioEngine engine(asMade(AudioEngine::Output::SilentClock));
    std::mutex mutex;
    std::condition_variable told;
    int calls = 0;
    bool idleWhenTold = true;
    engine.setVoiceIdleListener([&] {
        const std::lock_guard<std::mutex> guard(mutex);
        ++calls;
        idleWhenTold = idleWhenTold && engine.voiceIdle();
        told.notify_all();
    });
    // Played, then flushed while it plays: each ends in silence that is told.
    for (const bool flush : {false, true}) {
        const auto voice = sine(22050, 1, flush ? 2.0 : 0.3, 300.0, 0.3);
        int before = 0;
        {
            const std::lock_guard<std::mutex> guard(mutex);
            before = calls;
        }
        ASSERT_TRUE(engine.pushVoice(voice.data(), voice.size(), 22050, 1));
        if (flush) {
            std::this_thread::sleep_for(100ms);
            engine.flushVoice();
        }
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(told.wait_for(lock, 5s, [&] { return calls > before; })) << flush;
        EXPECT_TRUE(idleWhenTold) << flush;
    }
    engine.setVoiceIdleListener({});
}
