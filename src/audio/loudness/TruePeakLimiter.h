// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// Keeps the true peak of stereo float audio (full scale 1.0) at or below a
// ceiling. Peaks between samples are found by 4x interpolation. The gain
// reaches its lowest value exactly at a peak, falls towards it over a short
// look-ahead and recovers afterwards, so nothing is clipped and no step is
// heard. The output lags the input by latency() frames; finish() lets the
// held frames out. Used by one thread at a time.
class TruePeakLimiter {
public:
    static constexpr int kChannels = 2;

    TruePeakLimiter(int rate, double ceilingDb);

    std::size_t latency() const { return kLookAhead + kInterpolationReach; }
    // Takes `frames` frames and writes as many as are ready to `out` (room
    // for `frames` frames); returns how many that is.
    std::size_t process(const float* in, std::size_t frames, float* out);
    // Writes the frames still held (room for latency() frames) and starts over.
    std::size_t finish(float* out);
    void reset();
    // Lowest gain applied since the last reset (finish() keeps it).
    float deepestGain() const { return deepest_; }

private:
    // The gain falls over this many frames before a peak (about 3 ms).
    static constexpr std::size_t kLookAhead = 128;
    // Frames after a sample that the interpolation needs.
    static constexpr std::size_t kInterpolationReach = 4;
    static constexpr std::size_t kTaps = 8;
    static constexpr std::size_t kHistory = 512;  // power of two, > latency + taps

    // Frames the limiter passes at rest in one go: the history still holds
    // every frame the output lags behind.
    static constexpr std::size_t kQuietRun = 256;

    void push(const float* frame, bool real, float*& out, std::size_t& written);
    bool atRest() const;
    std::size_t passQuiet(const float* in, std::size_t frames, float* out);
    float peakAround(std::uint64_t t) const;
    float requiredGain(std::uint64_t t) const;
    float& x(std::uint64_t t, int c) { return history_[(t & (kHistory - 1)) * kChannels + c]; }
    float x(std::uint64_t t, int c) const { return history_[(t & (kHistory - 1)) * kChannels + c]; }

    float ceiling_;
    float releaseStep_;
    float tapReach_;  // the most an interpolated value can exceed its neighbours
    std::array<std::array<float, kTaps>, 3> taps_{};
    std::vector<float> history_;
    std::vector<float> loudest_;  // per frame, the larger magnitude of its channels

    // Frame numbers count a lead-in of kLookAhead silent frames first.
    std::uint64_t in_ = 0;      // frames taken, lead-in and padding included
    std::uint64_t realIn_ = 0;  // frames taken from the caller
    std::uint64_t out_ = 0;     // frames written
    // Sliding minimum of the required gains over the look-ahead window.
    struct Entry {
        std::uint64_t t;
        float gain;
    };
    std::array<Entry, kHistory> window_{};
    std::size_t windowHead_ = 0;
    std::size_t windowSize_ = 0;
    float released_ = 1.0F;
    std::array<float, kLookAhead> box_{};
    double boxSum_ = kLookAhead;
    float deepest_ = 1.0F;
};
