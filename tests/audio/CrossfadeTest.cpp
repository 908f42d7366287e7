// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/mix/Crossfade.h"
#include "audio/mix/Mixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

using crossfade::Blend;

TEST(Crossfade, TheBlendFollowsTheLoudnessOfTheTwoEnds)
{
    struct Case {
        double tailLu;
        double headLu;
        Blend blend;
        std::int32_t overlapOfFourSeconds;
    };
    const Case cases[] = {
        {0.0, 0.0, Blend::EqualPower, crossfade::kLoudOverlapMs},
        {-2.0, 1.0, Blend::EqualPower, crossfade::kLoudOverlapMs},
        {-9.0, 0.0, Blend::FadingEnd, 4000},
        {-9.0, -12.0, Blend::FadingEnd, 4000},
        {0.0, -8.0, Blend::QuietStart, 4000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tailLu << " / " << c.headLu);
        EXPECT_EQ(crossfade::choose(c.tailLu, c.headLu), c.blend);
        EXPECT_EQ(crossfade::overlapMs(c.blend, 4000), c.overlapOfFourSeconds);
    }
    EXPECT_EQ(crossfade::overlapMs(Blend::FadingEnd, 60000), crossfade::kMaxOverlapMs);
    EXPECT_EQ(crossfade::overlapMs(Blend::EqualPower, 500), 500);
}

TEST(Crossfade, GainsKeepThePowerOrTheLevel)
{
    struct Case {
        Blend blend;
        double t;
        float out;
        float in;
    };
    const float half = std::sqrt(0.5F);
    const Case cases[] = {
        {Blend::EqualPower, 0.0, 1.0F, 0.0F}, {Blend::EqualPower, 0.5, half, half},
        {Blend::EqualPower, 1.0, 0.0F, 1.0F}, {Blend::EqualPower, 2.0, 0.0F, 1.0F},
        {Blend::FadingEnd, 0.0, 1.0F, 0.0F},  {Blend::FadingEnd, 0.125, 1.0F, half},
        {Blend::FadingEnd, 0.25, 1.0F, 1.0F}, {Blend::FadingEnd, 0.7, 1.0F, 1.0F},
        {Blend::QuietStart, 0.0, 1.0F, 1.0F}, {Blend::QuietStart, 0.5, half, 1.0F},
        {Blend::QuietStart, 1.0, 0.0F, 1.0F},
    };
    for (const Case& c : cases) {
        const crossfade::Gains g = crossfade::gains(c.blend, c.t);
        EXPECT_NEAR(g.out, c.out, 1e-6) << static_cast<int>(c.blend) << " at " << c.t;
        EXPECT_NEAR(g.in, c.in, 1e-6) << static_cast<int>(c.blend) << " at " << c.t;
    }
}

namespace {

constexpr std::size_t kSong = 12000;
constexpr std::int16_t kEnding = 8000;
constexpr std::int16_t kStarting = 4000;

// Two songs of steady levels waiting in the two rings, the second armed to
// follow with `overlapMs`; what the output makes of them.
std::vector<std::int16_t> join(Mixer& mixer, std::uint16_t overlapMs, Blend blend)
{
    mixer.ducker().setDepthDb(0.0);
    const std::vector<std::int16_t> ending(kSong * 2, kEnding);
    const std::vector<std::int16_t> starting(kSong * 2, kStarting);
    mixer.musicRing(0).write(ending.data(), kSong);
    mixer.markExpectedEnd(0, kSong);
    mixer.markEnd(0, kSong);
    mixer.musicRing(1).write(starting.data(), kSong);
    EXPECT_TRUE(mixer.arm(mixer.switchState(), FollowOn::Always, overlapMs, blend));
    std::vector<std::int16_t> out(2 * kSong * 2, 1);
    for (std::size_t at = 0; at < 2 * kSong; at += 700) {
        const std::size_t n = std::min<std::size_t>(700, 2 * kSong - at);
        mixer.render(out.data() + at * 2, n);
    }
    return out;
}

}  // namespace

TEST(Crossfade, TheNextSongStartsUnderTheEndAtTheBlendsGains)
{
    struct Case {
        Blend blend;
        std::uint16_t overlapMs;
    };
    for (const Case c :
         {Case{Blend::EqualPower, 100}, Case{Blend::FadingEnd, 150}, Case{Blend::QuietStart, 50}}) {
        SCOPED_TRACE(static_cast<int>(c.blend));
        Mixer mixer;
        const std::vector<std::int16_t> out = join(mixer, c.overlapMs, c.blend);
        const std::size_t overlap = std::size_t{c.overlapMs} * 441 / 10;
        const std::size_t from = kSong - overlap;
        for (std::size_t f = 0; f < from; ++f) {
            ASSERT_EQ(out[f * 2], kEnding) << f;
        }
        for (std::size_t f = from; f < kSong; ++f) {
            const crossfade::Gains g =
                crossfade::gains(c.blend, static_cast<double>(f - from) / overlap);
            const double want = g.out * kEnding + g.in * kStarting;
            ASSERT_NEAR(out[f * 2], want, 2.0) << f;
            ASSERT_EQ(out[f * 2], out[f * 2 + 1]);
        }
        // The rest of the song that started, then nothing.
        for (std::size_t f = kSong; f < 2 * kSong - overlap; ++f) {
            ASSERT_EQ(out[f * 2], kStarting) << f;
        }
        EXPECT_EQ(out[(2 * kSong - overlap) * 2], 0);
        EXPECT_EQ(mixer.switchState().audible, 1);
        EXPECT_EQ(mixer.switchState().takes, 1u);
        EXPECT_FALSE(mixer.crossfading());
    }
}

TEST(Crossfade, NeverUnderTheVoice)
{
    Mixer mixer;
    // The voice talks (silence, so the sum shows only the music) over the
    // whole of the end: the next song follows at the end instead.
    const std::vector<std::int16_t> voice(13000 * 2, 0);
    mixer.voice().write(voice.data(), 13000);
    const std::vector<std::int16_t> out = join(mixer, 100, Blend::EqualPower);
    for (std::size_t f = 0; f < 2 * kSong; ++f) {
        ASSERT_EQ(out[f * 2], f < kSong ? kEnding : kStarting) << f;
    }
    EXPECT_EQ(mixer.switchState().takes, 1u);
}

TEST(Crossfade, TwoLoudEndsStayUnderTheCeiling)
{
    Mixer mixer;
    mixer.ducker().setDepthDb(0.0);
    const std::vector<std::int16_t> loud(kSong * 2, 30000);
    mixer.musicRing(0).write(loud.data(), kSong);
    mixer.markExpectedEnd(0, kSong);
    mixer.musicRing(1).write(loud.data(), kSong);
    ASSERT_TRUE(mixer.arm(mixer.switchState(), FollowOn::Always, 200, Blend::FadingEnd));
    std::vector<std::int16_t> out(kSong * 2);
    mixer.render(out.data(), kSong);
    const double ceiling = 32767.0 * std::pow(10.0, -1.0 / 20.0);
    for (std::size_t f = kSong - 8820; f < kSong; ++f) {
        ASSERT_LE(std::abs(out[f * 2]), ceiling) << f;
    }
}
