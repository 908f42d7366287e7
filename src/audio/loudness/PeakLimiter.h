// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

// Keeps floating-point audio within full scale by turning the gain down just
// before a peak would pass it, in short steps, and back up over a few tenths
// of a second. Louder material is not flattened into clipping. The one
// sample-peak guard of the program: a MIDI decoder's render and the mixer's
// sum of music and voice (see loudness::needsLimiter for the whole policy).
// Real-time safe.
class PeakLimiter {
public:
    explicit PeakLimiter(int rate);

    // Interleaved samples; afterwards none exceeds 1 in magnitude.
    void process(float* samples, std::size_t frames, int channels) noexcept;
    float gain() const { return gain_; }

private:
    float releasePerStep_;
    float gain_ = 1.0F;
};
