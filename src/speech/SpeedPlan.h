// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How a speed in words per minute is made on a voice.
//
// espeak-ng: the synthesizer's own rate plus silence added between words. The
// rate does not follow words per minute exactly (its lengths are rounded, so
// a higher rate is now and then a little slower, and past 449 it switches to
// a time-stretching that starts out slower), so up to 449 its rates are used
// only at a few steps far enough apart that each is clearly faster than the
// one before; between two steps the faster rate is slowed by pauses that
// shrink as the speed grows. Below the synthesizer's minimum (80) only the
// pauses grow.
//
// flite: the voice's durations are stretched smoothly by its natural pace over
// the speed; past twice its length speech smears, so slower speeds add
// pauses instead.
//
// Thus every speed from 10 to 500 sounds different and a higher one is never
// slower.
struct SpeedPlan {
    static constexpr int kMinWordsPerMinute = 10;
    static constexpr int kMaxWordsPerMinute = 500;
    static constexpr int kDefaultWordsPerMinute = 165;
    static constexpr double kMaxStretch = 2.0;

    int synthRate = kDefaultWordsPerMinute;
    // Multiplies the durations of a stretching voice (flite).
    double durationStretch = 1.0;
    // Silence added before every word but the first of a text.
    double pauseSeconds = 0.0;

    // espeak-ng. wordsPerMinute is brought into 10..500 first.
    static SpeedPlan forWordsPerMinute(int wordsPerMinute);
    // A voice that speaks naturalWordsPerMinute unstretched (flite).
    static SpeedPlan forStretchedVoice(int wordsPerMinute, double naturalWordsPerMinute);
};
