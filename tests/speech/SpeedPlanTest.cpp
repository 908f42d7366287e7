// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SpeedPlan.h"

#include <gtest/gtest.h>

namespace {

// What a plan should take per word, as measured on the synthesizer: a word in
// about 0.8 of the nominal 60 / rate seconds, or 0.87 of it at the stretched
// rates past 449, plus the pause.
double modelSecondsPerWord(const SpeedPlan& plan)
{
    const double share = plan.synthRate > 449 ? 0.87 : 0.8;
    return share * 60.0 / plan.synthRate + plan.pauseSeconds;
}

TEST(SpeedPlanTest, DefaultSpeedIsTheSynthesizersOwn)
{
    const SpeedPlan plan = SpeedPlan::forWordsPerMinute(165);
    EXPECT_EQ(plan.synthRate, 165);
    EXPECT_EQ(plan.pauseSeconds, 0.0);
}

TEST(SpeedPlanTest, EverySpeedDiffersAndNoneIsSlowerThanTheOneBelow)
{
    for (int wpm = SpeedPlan::kMinWordsPerMinute; wpm < SpeedPlan::kMaxWordsPerMinute; ++wpm) {
        const SpeedPlan lower = SpeedPlan::forWordsPerMinute(wpm);
        const SpeedPlan higher = SpeedPlan::forWordsPerMinute(wpm + 1);
        EXPECT_GE(higher.synthRate, lower.synthRate) << wpm;
        EXPECT_TRUE(higher.synthRate != lower.synthRate || higher.pauseSeconds < lower.pauseSeconds)
            << wpm;
        // A pause change must be at least a sample long to be heard at all.
        if (higher.synthRate == lower.synthRate) {
            EXPECT_GT((lower.pauseSeconds - higher.pauseSeconds) * 22050, 1.0) << wpm;
        }
        EXPECT_LT(modelSecondsPerWord(higher), modelSecondsPerWord(lower)) << wpm;
    }
}

TEST(SpeedPlanTest, SpeedsOutsideTheRangeAreClamped)
{
    const SpeedPlan slowest = SpeedPlan::forWordsPerMinute(10);
    const SpeedPlan below = SpeedPlan::forWordsPerMinute(-40);
    EXPECT_EQ(below.synthRate, slowest.synthRate);
    EXPECT_EQ(below.pauseSeconds, slowest.pauseSeconds);
    // Ten words a minute: six seconds a word, most of it pause.
    EXPECT_NEAR(modelSecondsPerWord(slowest), 6.0, 0.2);
    EXPECT_EQ(SpeedPlan::forWordsPerMinute(100000).synthRate,
              SpeedPlan::forWordsPerMinute(500).synthRate);
}

TEST(SpeedPlanTest, StretchedVoicesFollowTheSpeedSmoothly)
{
    constexpr double kNatural = 175.0;
    // At its natural pace the voice is unstretched; 500 is 2.9 times faster.
    EXPECT_DOUBLE_EQ(SpeedPlan::forStretchedVoice(175, kNatural).durationStretch, 1.0);
    EXPECT_NEAR(SpeedPlan::forStretchedVoice(500, kNatural).durationStretch, 0.35, 1e-9);
    double previous = 1e9;
    for (int wpm = SpeedPlan::kMinWordsPerMinute; wpm <= SpeedPlan::kMaxWordsPerMinute; ++wpm) {
        const SpeedPlan plan = SpeedPlan::forStretchedVoice(wpm, kNatural);
        EXPECT_LE(plan.durationStretch, SpeedPlan::kMaxStretch) << wpm;
        // A word lasts its stretched natural time plus the pause: 60 / wpm.
        const double perWord = plan.durationStretch * 60.0 / kNatural + plan.pauseSeconds;
        EXPECT_NEAR(perWord, 60.0 / wpm, 1e-9) << wpm;
        EXPECT_LT(perWord, previous) << wpm;
        previous = perWord;
    }
    EXPECT_EQ(SpeedPlan::forStretchedVoice(3, kNatural).pauseSeconds,
              SpeedPlan::forStretchedVoice(10, kNatural).pauseSeconds);
}

}  // namespace
