// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioTestSupport.h"
#include "audio/AudioEngine.h"
#include "common/CountingAudioDevice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

using namespace audio_test;
using namespace std::chrono_literals;

namespace {

constexpr auto kSleepAfter = 200ms;

struct Wakening {
    const char* what;
    // Makes the engine sound again once its output has gone to sleep.
    std::function<void(AudioEngine&)> sound;
    // Frames with sound the output must then play, at least.
    std::size_t frames;
    // Times it sleeps in the middle.
    int naps = 0;
};

std::size_t soundingFrames(const Pcm& pcm)
{
    std::size_t count = 0;
    for (std::size_t f = 0; f < pcm.frames(); ++f) {
        count += (pcm.samples[2 * f] != 0 || pcm.samples[2 * f + 1] != 0) ? 1 : 0;
    }
    return count;
}

std::vector<std::int16_t> voice(double seconds)
{
    std::vector<std::int16_t> samples(static_cast<std::size_t>(22050 * seconds));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(std::lround(9000 * std::sin(i * 0.05)));
    }
    return samples;
}

}  // namespace

// With nothing heard for a while the output sleeps; a song, a resumed song
// or the voice wakes it, the whole sound is heard, and it sleeps again after.
TEST(AudioEngineOutputSleep, SleepsWhenQuietAndWakesForTheNextSound)
{
    const std::vector<Wakening> cases{
        {"a played song", [](AudioEngine& engine) { engine.PlayMPEG(1, 44100 * 4 / 10); },
         44100 * 4 / 10},
        {"a resumed song",
         [](AudioEngine& engine) {
             engine.PlayMPEG(1, 44100 * 15 / 10);
             waitFor([&] { return engine.GetPositionMs() >= 300; }, 5s);
             engine.PauseMPEG();
             // Paused in the middle, the output sleeps again; resumed, the
             // rest of the song comes.
             waitFor([] { return false; }, kSleepAfter * 3);
             engine.ResumeMPEG();
         },
         44100 * 14 / 10, 1},
        {"the voice",
         [](AudioEngine& engine) {
             const auto samples = voice(0.4);
             engine.pushVoice(samples.data(), samples.size(), 22050, 1);
         },
         44100 * 4 / 10},
    };
    for (const Wakening& wakening : cases) {
        SCOPED_TRACE(wakening.what);
        CountingAudioDevice* device = nullptr;
        AudioEngine::Options options = asMade();
        options.sleepAfter = kSleepAfter;
        options.device = [&device](Mixer& mixer) {
            auto made = std::make_unique<CountingAudioDevice>(mixer);
            device = made.get();
            return made;
        };
        AudioEngine engine(options);
        SinkCapture capture;
        capture.attach(engine);
        ASSERT_EQ(openSong(engine, media("tone.wav")).error, QString());
        // Nothing was asked to sound since the start.
        ASSERT_TRUE(waitFor([&] { return device->sleeps() == 1; }, 5s));
        EXPECT_EQ(device->wakes(), 0);

        wakening.sound(engine);
        ASSERT_TRUE(waitFor([&] { return device->wakes() >= 1; }, 5s));
        ASSERT_TRUE(waitFor([&] { return device->sleeps() == wakening.naps + 2; }, 10s));
        // Every sleep came once the output was paused, on the decode thread.
        EXPECT_EQ(device->wakes(), wakening.naps + 1);
        EXPECT_FALSE(device->sleptWhilePlaying());
        EXPECT_FALSE(device->calledFromTwoThreads());
        EXPECT_GE(soundingFrames(capture.played()), wakening.frames * 97 / 100);
        EXPECT_TRUE(engine.outputPaused());
    }
}
