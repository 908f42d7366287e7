// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SpeedPlan.h"

#include <algorithm>
#include <array>

namespace {
// Rates about a fifth apart, with 165 (the default) among them so that it is
// the synthesizer's own speech without added pauses.
constexpr std::array<int, 11> kSteps = {80, 96, 115, 138, 165, 198, 238, 285, 342, 410, 449};
// The synthesizer speaks a word in about 0.8 of the nominal 60 / rate seconds;
// the pause makes up only half the nominal difference so that crossing a step
// always saves more than the pause adds.
constexpr double kPauseShare = 0.5;
constexpr int kSlowest = kSteps.front();
constexpr int kFastestPlain = kSteps.back();
// Past 449 the synthesizer stretches time itself; its rate 450 is slower than
// its 449, and it is clearly faster only from about 490. Its stretching is
// smooth, so every speed there gets a rate of its own, two apart.
constexpr int kFirstStretchedRate = 500;
constexpr int kStretchedRatePerStep = 2;
}  // namespace

SpeedPlan SpeedPlan::forWordsPerMinute(int wordsPerMinute)
{
    const int wpm = std::clamp(wordsPerMinute, kMinWordsPerMinute, kMaxWordsPerMinute);
    SpeedPlan plan;
    if (wpm <= kSlowest) {
        plan.synthRate = kSlowest;
        plan.pauseSeconds = 60.0 / wpm - 60.0 / kSlowest;
    } else if (wpm > kFastestPlain) {
        plan.synthRate = kFirstStretchedRate + kStretchedRatePerStep * (wpm - kFastestPlain - 1);
    } else {
        const int step = *std::lower_bound(kSteps.begin(), kSteps.end(), wpm);
        plan.synthRate = step;
        plan.pauseSeconds = kPauseShare * (60.0 / wpm - 60.0 / step);
    }
    return plan;
}

SpeedPlan SpeedPlan::forStretchedVoice(int wordsPerMinute, double naturalWordsPerMinute)
{
    const int wpm = std::clamp(wordsPerMinute, kMinWordsPerMinute, kMaxWordsPerMinute);
    const double natural =
        naturalWordsPerMinute > 0 ? naturalWordsPerMinute : kDefaultWordsPerMinute;
    SpeedPlan plan;
    plan.synthRate = wpm;
    const double slowest = natural / kMaxStretch;
    if (wpm >= slowest) {
        plan.durationStretch = natural / wpm;
    } else {
        plan.durationStretch = kMaxStretch;
        plan.pauseSeconds = 60.0 / wpm - 60.0 / slowest;
    }
    return plan;
}
