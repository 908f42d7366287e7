// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/mix/Ducker.h"

#include <algorithm>
#include <cmath>

Ducker::Ducker(int rate) : rate_(rate) {}

void Ducker::setDepthDb(double db)
{
    depthDb_.store(std::clamp(db, 0.0, 60.0), std::memory_order_release);
}

void Ducker::follow(double depthDb) noexcept
{
    followedDepth_ = depthDb;
    floor_ = static_cast<float>(std::pow(10.0, -depthDb / 20.0));
    downStep_ = static_cast<float>(std::pow(10.0, -depthDb / 20.0 / (kDownSeconds * rate_)));
    // Also without ducking a dip in progress comes back up.
    const double rise = std::max(depthDb, 1.0);
    upStep_ = static_cast<float>(std::pow(10.0, rise / 20.0 / (kUpSeconds * rate_)));
}

void Ducker::apply(std::int16_t* music, std::size_t frames, std::size_t voiceFrames) noexcept
{
    const double depth = depthDb_.load(std::memory_order_acquire);
    if (depth != followedDepth_) {
        follow(depth);
    }
    if (gain_ >= 1.0F && (voiceFrames == 0 || floor_ >= 1.0F)) {
        return;
    }
    for (std::size_t f = 0; f < frames; ++f) {
        const float target = f < voiceFrames ? floor_ : 1.0F;
        gain_ = gain_ > target ? std::max(target, gain_ * downStep_)
                               : std::min(target, gain_ * upStep_);
        for (std::size_t c = 0; c < 2; ++c) {
            music[2 * f + c] = static_cast<std::int16_t>(std::lrint(music[2 * f + c] * gain_));
        }
    }
}
