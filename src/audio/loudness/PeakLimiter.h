#pragma once

#include <cstddef>

// Keeps floating-point audio within full scale by turning the gain down just
// before a peak would pass it, in short steps, and back up over a few tenths
// of a second. Louder material is not flattened into clipping.
class PeakLimiter {
public:
    explicit PeakLimiter(int rate);

    // Interleaved samples; afterwards none exceeds 1 in magnitude.
    void process(float* samples, std::size_t frames, int channels);
    float gain() const { return gain_; }

private:
    float releasePerStep_;
    float gain_ = 1.0F;
};
