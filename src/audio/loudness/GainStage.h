// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/loudness/TruePeakLimiter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Brings 16-bit stereo audio to its loudness: a gain that glides to a new
// value instead of jumping, then (when asked for) the true-peak limiter. At
// unity without the limiter the samples pass untouched. The limiter holds a
// few milliseconds back; finish() lets them out at the end of a stretch.
// Used by one thread at a time.
class GainStage {
public:
    explicit GainStage(int rate);

    // A new stretch: the gain is `gainDb` from its first frame; `limit` puts
    // the limiter behind it. Drops anything held.
    void start(double gainDb, bool limit);
    // The gain moves to this value at a few dB per second.
    void glideTo(double gainDb);
    double gainDb() const;
    bool limiting() const { return limit_; }
    // Frames that may come out of finish().
    std::size_t latency() const { return limit_ ? limiter_.latency() : 0; }

    // Writes at most `frames` frames to `out`; returns how many.
    std::size_t process(const std::int16_t* in, std::size_t frames, std::int16_t* out);
    // Writes what the limiter holds (room for latency() frames) and ends the stretch.
    std::size_t finish(std::int16_t* out);

private:
    static constexpr std::size_t kBlock = 1024;
    void applyGain(const std::int16_t* in, std::size_t frames);
    static void toPcm(const float* in, std::size_t frames, std::int16_t* out);

    float glideStep_;  // largest change of the linear gain ratio per frame
    double gain_ = 1.0;
    double target_ = 1.0;
    bool limit_ = false;
    TruePeakLimiter limiter_;
    std::vector<float> in_;
    std::vector<float> out_;
};
