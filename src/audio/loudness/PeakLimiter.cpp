// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loudness/PeakLimiter.h"

#include <algorithm>
#include <cmath>

namespace {
// Gain steps this often: 1.5 ms at 44.1 kHz.
constexpr std::size_t kStep = 64;
// The gain closes its distance to unity by a factor e every 100 ms.
constexpr float kReleaseSeconds = 0.1F;
}  // namespace

PeakLimiter::PeakLimiter(int rate)
    : releasePerStep_(
          std::exp(-static_cast<float>(kStep) / (kReleaseSeconds * static_cast<float>(rate))))
{
}

void PeakLimiter::process(float* samples, std::size_t frames, int channels) noexcept
{
    const auto ch = static_cast<std::size_t>(channels);
    for (std::size_t at = 0; at < frames; at += kStep) {
        float* block = samples + at * ch;
        const std::size_t count = std::min(kStep, frames - at) * ch;
        float peak = 0.0F;
        for (std::size_t i = 0; i < count; ++i) {
            peak = std::max(peak, std::abs(block[i]));
        }
        gain_ = 1.0F - (1.0F - gain_) * releasePerStep_;
        // This close to unity it is unity: what follows comes out bit for bit.
        if (gain_ > 0.999F) {
            gain_ = 1.0F;
        }
        if (peak * gain_ > 1.0F) {
            gain_ = 1.0F / peak;
        }
        if (gain_ < 1.0F) {
            for (std::size_t i = 0; i < count; ++i) {
                block[i] = std::clamp(block[i] * gain_, -1.0F, 1.0F);
            }
        }
    }
}
