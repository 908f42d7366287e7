// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loudness/PeakLimiter.h"
#include "audio/mix/Mixer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <vector>

namespace {

std::vector<std::int16_t> stereoSine(std::size_t frames, double level, double step)
{
    std::vector<std::int16_t> out(frames * 2);
    for (std::size_t f = 0; f < frames; ++f) {
        const auto v = static_cast<std::int16_t>(std::lround(level * 32767 * std::sin(step * f)));
        out[2 * f] = v;
        out[2 * f + 1] = v;
    }
    return out;
}

std::vector<std::int16_t> render(Mixer& mixer, std::size_t frames)
{
    std::vector<std::int16_t> out(frames * 2, 1234);
    mixer.render(out.data(), frames);
    return out;
}

// Whether the decode thread was woken: a wake-up is kept until it waits.
bool woken(WakeSignal& signal, std::chrono::milliseconds within)
{
    const auto start = std::chrono::steady_clock::now();
    signal.waitFor(within);
    return std::chrono::steady_clock::now() - start < within;
}

}  // namespace

// The decode thread sleeps for long stretches while music plays; a block
// that changes what it has to tell wakes it: the voice's last frames heard,
// a follow-on taken, a ring half empty. A block that changes nothing does not.
TEST(Mixer, WakesTheDecoderWhenABlockChangesWhatItTells)
{
    using namespace std::chrono_literals;
    const auto music = stereoSine(40000, 0.5, 0.01);
    struct Case {
        const char* what;
        std::size_t voiceFrames;
        bool followOn;
        std::size_t rendered;
        bool wakes;
    };
    for (const Case c : {Case{"music plays on", 0, false, 1024, false},
                         Case{"the voice ends", 600, false, 1024, true},
                         Case{"a follow-on is taken", 0, true, 1024, true},
                         Case{"the ring runs half empty", 0, false, 36000, true}}) {
        Mixer mixer;
        mixer.musicRing(0).write(music.data(), c.followOn ? 500 : 40000);
        if (c.followOn) {
            mixer.markEnd(0, 500);
            mixer.musicRing(1).write(music.data(), 40000);
            ASSERT_TRUE(mixer.arm(mixer.switchState(), FollowOn::Always));
        }
        mixer.voice().write(music.data(), c.voiceFrames);
        woken(mixer.consumedSignal(), 0ms);  // what writing woke
        render(mixer, c.rendered);
        EXPECT_EQ(woken(mixer.consumedSignal(), c.wakes ? 5000ms : 100ms), c.wakes) << c.what;
    }
}

TEST(Mixer, MusicAlonePassesUnchangedAndUnderrunIsSilence)
{
    Mixer mixer;
    const auto music = stereoSine(3000, 0.9, 0.01);
    ASSERT_EQ(mixer.music().write(music.data(), 3000), 3000u);
    const auto out = render(mixer, 4000);
    EXPECT_TRUE(std::equal(music.begin(), music.end(), out.begin()));
    EXPECT_TRUE(std::all_of(out.begin() + 6000, out.end(), [](std::int16_t s) { return s == 0; }));
}

TEST(Mixer, PausedMusicKeepsItsPlaceWhileTheVoiceGoesOn)
{
    Mixer mixer;
    mixer.ducker().setDepthDb(0.0);
    const auto music = stereoSine(2000, 0.5, 0.01);
    const auto voice = stereoSine(500, 0.2, 0.03);
    mixer.music().write(music.data(), 2000);
    mixer.voice().write(voice.data(), 500);
    mixer.setMusicPaused(true);
    const auto paused = render(mixer, 500);
    EXPECT_TRUE(std::equal(voice.begin(), voice.end(), paused.begin()));
    EXPECT_EQ(mixer.music().readPosition(), 0u);
    mixer.setMusicPaused(false);
    const auto resumed = render(mixer, 2000);
    EXPECT_TRUE(std::equal(music.begin(), music.end(), resumed.begin()));
}

TEST(Mixer, VoiceAndMusicAddWhileTheyFit)
{
    Mixer mixer;
    mixer.ducker().setDepthDb(0.0);  // the plain sum
    const auto music = stereoSine(1000, 0.4, 0.01);
    const auto voice = stereoSine(1000, 0.4, 0.037);
    mixer.music().write(music.data(), 1000);
    mixer.voice().write(voice.data(), 1000);
    const auto out = render(mixer, 1000);
    for (std::size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i], music[i] + voice[i]) << i;
    }
}

TEST(Mixer, OverloadIsScaledDownNotFlattenedAndRecovers)
{
    Mixer mixer;
    mixer.ducker().setDepthDb(0.0);
    const auto music = stereoSine(16000, 0.9, 0.013);
    const auto voice = stereoSine(4096, 0.9, 0.013);  // in phase: up to 1.8 x full scale
    mixer.music().write(music.data(), 16000);
    mixer.voice().write(voice.data(), 4096);
    const auto out = render(mixer, 16000);
    std::size_t pinned = 0;
    std::size_t longestPinned = 0;
    for (std::size_t f = 0; f < 4096; ++f) {
        const int sum = music[2 * f] + voice[2 * f];
        const int got = out[2 * f];
        pinned = std::abs(got) >= 32767 ? pinned + 1 : 0;
        longestPinned = std::max(longestPinned, pinned);
        // Same shape, smaller: the sign always agrees and nothing exceeds the sum.
        ASSERT_LE(std::abs(got), std::abs(sum) + 1) << f;
        if (std::abs(sum) > 2000) {
            ASSERT_EQ(got > 0, sum > 0) << f;
        }
    }
    // A peak may touch full scale; clipping would hold it there for ~150 samples.
    EXPECT_LE(longestPinned, 2u);
    // About half a second after the voice the music is back to itself.
    std::vector<std::int16_t> again;
    for (int round = 0; round < 2; ++round) {
        mixer.music().write(music.data(), 16000);
        again = render(mixer, 16000);
    }
    EXPECT_TRUE(std::equal(music.begin(), music.end(), again.begin()));
}

TEST(VoiceMeter, CountsAtThePushedRateAcrossRateChanges)
{
    VoiceMeter meter(44100);
    meter.mark(0, 22050);
    meter.consumed(0, 44100);  // one second of 22.05 kHz input
    EXPECT_EQ(meter.playedInputFrames(), 22050u);
    meter.mark(88200, 16000);
    meter.consumed(44100, 44100);  // still the 22.05 kHz stretch
    EXPECT_EQ(meter.playedInputFrames(), 44100u);
    meter.consumed(88200, 4410);  // a tenth of a second at 16 kHz
    EXPECT_EQ(meter.playedInputFrames(), 44100u + 1600u);
    // A skipped stretch (a flush) is not counted.
    meter.consumed(200000, 44100);
    EXPECT_EQ(meter.playedInputFrames(), 44100u + 1600u + 16000u);
}

TEST(PeakLimiter, TurnsOverloadDownWithoutFlatteningAndRecovers)
{
    PeakLimiter limiter(44100);
    std::vector<float> loud(44100 * 2);
    for (std::size_t f = 0; f < 44100; ++f) {
        loud[2 * f] = loud[2 * f + 1] = 2.0F * static_cast<float>(std::sin(0.05 * f));
    }
    limiter.process(loud.data(), 44100, 2);
    std::size_t run = 0;
    std::size_t longest = 0;
    float top = 0.0F;
    for (std::size_t f = 0; f < 44100; ++f) {
        top = std::max(top, std::abs(loud[2 * f]));
        run = std::abs(loud[2 * f]) >= 0.999F ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    EXPECT_LE(top, 1.0F);
    EXPECT_GT(top, 0.9F);
    EXPECT_LE(longest, 2u);  // clipping would sit at full scale for ~40 samples
    // Quiet material afterwards comes back to full gain within a second.
    std::vector<float> quiet(44100 * 2, 0.25F);
    limiter.process(quiet.data(), 44100, 2);
    EXPECT_FLOAT_EQ(limiter.gain(), 1.0F);
    EXPECT_FLOAT_EQ(quiet.back(), 0.25F);
}
