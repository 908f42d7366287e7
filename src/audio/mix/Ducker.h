// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

// Dips the music while the voice talks over it: down by the depth over
// about 100 ms when the voice starts, back up over about 300 ms after it
// ends. The gain moves a little every sample (evenly in dB), so the dip
// starts on the voice's first frame and makes no click. Output thread,
// except setDepthDb.
class Ducker {
public:
    static constexpr double kDefaultDepthDb = 12.0;
    static constexpr double kDownSeconds = 0.1;
    static constexpr double kUpSeconds = 0.3;

    explicit Ducker(int rate);

    // Any thread; 0 switches ducking off.
    void setDepthDb(double db);
    double depthDb() const { return depthDb_.load(std::memory_order_acquire); }

    // Interleaved stereo music of one block; the voice sounds over its first
    // `voiceFrames` frames.
    void apply(std::int16_t* music, std::size_t frames, std::size_t voiceFrames) noexcept;
    float gain() const { return gain_; }

private:
    void follow(double depthDb) noexcept;

    int rate_;
    std::atomic<double> depthDb_{kDefaultDepthDb};
    // Output thread only.
    double followedDepth_ = -1.0;
    float floor_ = 1.0F;
    float downStep_ = 1.0F;  // gain ratio per frame
    float upStep_ = 1.0F;
    float gain_ = 1.0F;
};
