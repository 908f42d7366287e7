// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioTestSupport.h"
#include "audio/loudness/GainStage.h"
#include "audio/loudness/TruePeakLimiter.h"
#include "audio/mix/Mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace audio_test;

namespace {

// Stereo 16-bit sine; `phase` shifts it (in radians).
std::vector<std::int16_t> sine(std::size_t frames, double level, double cyclesPerFrame,
                               double phase = 0.0)
{
    std::vector<std::int16_t> out(frames * 2);
    for (std::size_t f = 0; f < frames; ++f) {
        const double v = level * 32767.0 * std::sin(2 * M_PI * cyclesPerFrame * f + phase);
        out[2 * f] = out[2 * f + 1] = static_cast<std::int16_t>(std::lround(v));
    }
    return out;
}

Pcm throughStage(GainStage& stage, const std::vector<std::int16_t>& in)
{
    Pcm out{44100, 2, std::vector<std::int16_t>(in.size() + 4096)};
    std::size_t written = 0;
    // In uneven pieces, as the decoder hands them over.
    for (std::size_t at = 0; at < in.size() / 2;) {
        const std::size_t n = std::min<std::size_t>(777, in.size() / 2 - at);
        written += stage.process(in.data() + at * 2, n, out.samples.data() + written * 2);
        at += n;
    }
    written += stage.finish(out.samples.data() + written * 2);
    out.samples.resize(written * 2);
    return out;
}

double db(double ratio)
{
    return 20.0 * std::log10(ratio);
}

}  // namespace

TEST(GainStage, UnityPassesUntouchedAndAGainScalesEverySample)
{
    const auto in = sine(44100, 0.25, 0.01);
    struct Case {
        double gainDb;
        bool limit;
    };
    for (const Case c : {Case{0.0, false}, Case{6.0, false}, Case{-9.5, false}, Case{6.0, true}}) {
        GainStage stage(44100);
        stage.start(c.gainDb, c.limit);
        const Pcm out = throughStage(stage, in);
        ASSERT_EQ(out.samples.size(), in.size()) << c.gainDb;  // nothing lost in the look-ahead
        if (c.gainDb == 0.0) {
            EXPECT_TRUE(out.samples == in);
        }
        const Pcm source{44100, 2, in};
        EXPECT_NEAR(db(rms(out) / rms(source)), c.gainDb, 0.05) << c.gainDb;
        // Frame for frame the same shape: the delay is taken out again.
        EXPECT_NEAR(out.samples[2 * 1000] / std::pow(10.0, c.gainDb / 20.0), in[2 * 1000], 2.0);
    }
}

// A steady gain rounds every sample to the nearest step, ties to even, and
// holds it to 16 bits: whole blocks and the samples left over alike.
TEST(GainStage, ASteadyGainRoundsAndClampsEverySample)
{
    std::vector<std::int16_t> in;
    for (int v = -32768; v <= 32767; v += 7) {
        in.push_back(static_cast<std::int16_t>(v));
    }
    in.resize(in.size() & ~std::size_t{1});
    for (const double gainDb : {-9.5, -6.0206, 3.0, 24.0}) {
        GainStage stage(44100);
        stage.start(gainDb, false);
        const Pcm out = throughStage(stage, in);
        ASSERT_EQ(out.samples.size(), in.size());
        const auto g = static_cast<float>(std::pow(10.0, gainDb / 20.0));
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < in.size(); ++i) {
            const long want =
                std::clamp(std::lrint(static_cast<float>(in[i]) * g), -32768L, 32767L);
            wrong += out.samples[i] != want ? 1 : 0;
        }
        EXPECT_EQ(wrong, 0u) << gainDb;
    }
}

TEST(GainStage, GlidesToANewGainWithoutAStep)
{
    GainStage stage(44100);
    stage.start(0.0, false);
    stage.glideTo(-6.0);
    const std::vector<std::int16_t> steady(44100 * 2 * 4, 16000);
    const Pcm out = throughStage(stage, steady);
    int largestStep = 0;
    for (std::size_t f = 1; f < out.frames(); ++f) {
        largestStep = std::max(largestStep, std::abs(out.samples[2 * f] - out.samples[2 * f - 2]));
    }
    EXPECT_LE(largestStep, 3);  // a few dB per second: a fraction of a step per sample
    EXPECT_NEAR(out.samples[2 * 44100 * 3], 16000 / 2, 60);  // -6 dB after three seconds
    EXPECT_NEAR(stage.gainDb(), -6.0, 0.01);
}

TEST(TruePeakLimiter, KeepsTruePeaksUnderTheCeilingBetweenSamplesToo)
{
    struct Case {
        const char* what;
        std::vector<std::int16_t> in;
        double gainDb;
    };
    const std::vector<Case> cases{
        {"a loud sine made louder", sine(44100, 0.9, 997.0 / 44100), 8.0},
        // A quarter of the sampling rate, sampled 45 degrees off its peaks:
        // every sample is at 0.707 of the true peak.
        {"peaks between samples", sine(44100, 0.9, 0.25, M_PI / 4), 0.0},
        {"a sudden burst",
         [] {
             auto burst = sine(44100, 0.05, 0.01);
             const auto loud = sine(2000, 1.0, 0.02);
             std::copy(loud.begin(), loud.end(), burst.begin() + 30000);
             return burst;
         }(),
         6.0},
    };
    for (const Case& c : cases) {
        GainStage stage(44100);
        stage.start(c.gainDb, true);
        const Pcm out = throughStage(stage, c.in);
        ASSERT_EQ(out.samples.size(), c.in.size()) << c.what;
        EXPECT_LE(truePeakDb(out), -1.0 + 0.15) << c.what;
        EXPECT_LT(peak(out), 32767) << c.what;       // never clipped
        EXPECT_GT(truePeakDb(out), -2.5) << c.what;  // and not turned down far more than needed
    }
}

// Quiet stretches go through in runs at once; how the audio is cut into
// blocks, and so where those runs begin and end, never changes a sample.
TEST(TruePeakLimiter, BlockSizesNeverChangeTheOutput)
{
    struct Case {
        const char* what;
        float quiet;
        float loud;  // 0: no loud stretch
    };
    for (const Case& c : {Case{"quiet throughout", 0.3F, 0.0F},
                          Case{"a loud stretch between quiet ones", 0.3F, 1.6F},
                          Case{"just under where it must act", 0.6F, 0.0F},
                          Case{"silence, then a peak", 0.0F, 1.2F}}) {
        std::vector<float> in(30000 * 2);
        for (std::size_t f = 0; f < 30000; ++f) {
            const bool loud = c.loud > 0.0F && f >= 9000 && f < 9600;
            const float level = loud ? c.loud : c.quiet;
            in[2 * f] = level * static_cast<float>(std::sin(0.031 * static_cast<double>(f)));
            in[2 * f + 1] = level * static_cast<float>(std::cos(0.017 * static_cast<double>(f)));
        }
        std::vector<std::vector<float>> outs;
        for (const std::size_t block :
             {std::size_t{1}, std::size_t{37}, std::size_t{1024}, std::size_t{30000}}) {
            TruePeakLimiter limiter(44100, -1.0);
            std::vector<float> out(in.size() + limiter.latency() * 2);
            std::size_t written = 0;
            for (std::size_t f = 0; f < 30000; f += block) {
                written += limiter.process(in.data() + f * 2, std::min(block, 30000 - f),
                                           out.data() + written * 2);
            }
            written += limiter.finish(out.data() + written * 2);
            ASSERT_EQ(written, 30000u) << c.what << ", blocks of " << block;
            outs.push_back(out);
        }
        for (std::size_t i = 1; i < outs.size(); ++i) {
            EXPECT_TRUE(outs[i] == outs[0]) << c.what << ", block size " << i;
        }
        if (c.loud == 0.0F) {
            // Nothing near the ceiling: every sample as it came.
            EXPECT_TRUE(std::equal(in.begin(), in.end(), outs[0].begin())) << c.what;
        }
    }
}

TEST(TruePeakLimiter, TurnsDownSmoothlyAheadOfAPeakAndRecovers)
{
    // A steady level, then one loud stretch, then the steady level again.
    std::vector<float> in(44100 * 2, 0.5F);
    for (std::size_t f = 20000; f < 20500; ++f) {
        in[2 * f] = in[2 * f + 1] = 2.0F;
    }
    TruePeakLimiter limiter(44100, -1.0);
    std::vector<float> out(in.size() + 2 * limiter.latency());
    std::size_t written = limiter.process(in.data(), in.size() / 2, out.data());
    written += limiter.finish(out.data() + written * 2);
    ASSERT_EQ(written, in.size() / 2);
    float largestStep = 0.0F;
    for (std::size_t f = 0; f < written; ++f) {
        const float gain = out[2 * f] / in[2 * f];
        ASSERT_LE(out[2 * f], 0.8913F + 1e-4F) << f;
        if (f > 0) {
            largestStep = std::max(largestStep, std::abs(gain - out[2 * f - 2] / in[2 * f - 2]));
        }
    }
    // Just enough: a jump like this overshoots a little between samples.
    EXPECT_LE(limiter.deepestGain(), 0.8913F / 2.0F);
    EXPECT_GT(limiter.deepestGain(), 0.8913F / 2.0F * 0.88F);
    // The steady part before the burst is untouched, the gain change is
    // spread over the look-ahead, and within half a second it is back.
    EXPECT_FLOAT_EQ(out[2 * 19000], 0.5F);
    EXPECT_LT(largestStep, 0.02F);
    EXPECT_NEAR(out[2 * 40000], 0.5F, 0.002F);
}

namespace {

// Music of constant level with voice over frames [voiceFrom, voiceTo): the
// music's gain at every frame.
std::vector<double> duckedGain(double depthDb, std::size_t voiceFrom, std::size_t voiceTo,
                               std::size_t frames)
{
    Mixer mixer;
    mixer.ducker().setDepthDb(depthDb);
    const std::vector<std::int16_t> music(4096 * 2, 16000);
    const std::vector<std::int16_t> voice((voiceTo - voiceFrom) * 2, 0);
    std::vector<double> gain;
    std::vector<std::int16_t> out(4096 * 2);
    // Blocks that end where the voice starts, so it arrives in the middle of
    // the output's next block.
    for (std::size_t done = 0; done < frames;) {
        std::size_t block = std::min<std::size_t>(4096, frames - done);
        if (done < voiceFrom) {
            block = std::min(block, voiceFrom - done + 100);
        }
        if (done <= voiceFrom && voiceFrom < done + block) {
            mixer.music().write(music.data(), voiceFrom - done);
            out.assign(block * 2, 0);
            mixer.render(out.data(), voiceFrom - done);
            for (std::size_t f = 0; f < voiceFrom - done; ++f) {
                gain.push_back(out[2 * f] / 16000.0);
            }
            mixer.voice().write(voice.data(), voice.size() / 2);
            block -= voiceFrom - done;
            done = voiceFrom;
        }
        mixer.music().write(music.data(), block);
        out.assign(block * 2, 0);
        mixer.render(out.data(), block);
        for (std::size_t f = 0; f < block; ++f) {
            gain.push_back(out[2 * f] / 16000.0);
        }
        done += block;
    }
    return gain;
}

}  // namespace

TEST(Ducking, MusicDipsOnTheVoicesFirstFrameAndComesBackAfterIt)
{
    constexpr std::size_t kFrom = 10000;
    constexpr std::size_t kTo = kFrom + 44100;
    const std::vector<double> gain = duckedGain(12.0, kFrom, kTo, kTo + 44100);
    EXPECT_EQ(gain[kFrom - 1], 1.0);
    EXPECT_LT(gain[kFrom], 1.0);  // sample-accurate
    // Down 12 dB in about 100 ms, evenly in dB, then held.
    EXPECT_NEAR(db(gain[kFrom + 2205]), -6.0, 0.1);
    EXPECT_NEAR(db(gain[kFrom + 4410]), -12.0, 0.1);
    EXPECT_NEAR(db(gain[kTo - 1]), -12.0, 0.05);
    // Up again over about 300 ms.
    EXPECT_NEAR(db(gain[kTo + 6615]), -6.0, 0.15);
    EXPECT_NEAR(gain[kTo + 13230 + 50], 1.0, 0.001);
    // No step anywhere: the gain moves a little every frame.
    double largestStep = 0.0;
    for (std::size_t f = 1; f < gain.size(); ++f) {
        largestStep = std::max(largestStep, std::abs(gain[f] - gain[f - 1]));
    }
    EXPECT_LT(largestStep, 0.001);
}

TEST(Ducking, DepthFollowsTheSetting)
{
    for (const double depth : {6.0, 20.0, 0.0}) {
        const std::vector<double> gain = duckedGain(depth, 1000, 30000, 31000);
        EXPECT_NEAR(db(gain[29999]), -depth, 0.1) << depth;
    }
}

TEST(Mixer, AnArmedSongFollowsOnTheFrameAfterTheEnd)
{
    const auto a = sine(1500, 0.5, 0.01);
    const auto b = sine(3000, 0.3, 0.013);
    struct Case {
        const char* what;
        bool arm;
        FollowOn mode;
        bool voiceTalks;
        bool follows;
    };
    for (const Case c : {Case{"always", true, FollowOn::Always, true, true},
                         Case{"voice idle", true, FollowOn::WhenVoiceIdle, false, true},
                         Case{"voice talks", true, FollowOn::WhenVoiceIdle, true, false},
                         Case{"not armed", false, FollowOn::Always, false, false}}) {
        Mixer mixer;
        mixer.ducker().setDepthDb(0.0);
        mixer.musicRing(0).write(a.data(), 1500);
        mixer.markEnd(0, mixer.musicRing(0).writePosition());
        mixer.musicRing(1).write(b.data(), 3000);
        if (c.arm) {
            ASSERT_TRUE(mixer.arm(mixer.switchState(), c.mode));
            EXPECT_EQ(mixer.switchState().mode, c.mode) << c.what;  // the word keeps the mode
            EXPECT_TRUE(mixer.switchState().armed) << c.what;
        }
        const std::vector<std::int16_t> voice(4000 * 2, 0);  // silent, but talking
        if (c.voiceTalks) {
            mixer.voice().write(voice.data(), 4000);
        }
        std::vector<std::int16_t> out(4000 * 2, 1);
        mixer.render(out.data(), 4000);
        EXPECT_TRUE(std::equal(a.begin(), a.end(), out.begin())) << c.what;
        const bool joined = std::equal(b.begin(), b.begin() + 2500 * 2, out.begin() + 1500 * 2);
        EXPECT_EQ(joined, c.follows) << c.what;
        const Mixer::Switch after = mixer.switchState();
        EXPECT_EQ(after.audible, c.follows ? 1 : 0) << c.what;
        EXPECT_EQ(after.takes, c.follows ? 1u : 0u) << c.what;
        EXPECT_FALSE(after.armed) << c.what;  // taken or dropped at that end, never later
    }
}

TEST(Mixer, PendingFramesReachIntoAnArmedFollowOn)
{
    Mixer mixer;
    const auto a = sine(1000, 0.5, 0.01);
    mixer.musicRing(0).write(a.data(), 1000);
    mixer.musicRing(1).write(a.data(), 1000);
    EXPECT_EQ(mixer.pendingFrames(), 1000u);
    mixer.markEnd(0, 1000);
    ASSERT_TRUE(mixer.arm(mixer.switchState(), FollowOn::Always));
    EXPECT_EQ(mixer.pendingFrames(), 2000u);
}
