// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loudness/GainStage.h"

#include "audio/loudness/Loudness.h"

#include <algorithm>
#include <cmath>

namespace {
// Fast enough to follow a refined measurement within seconds, slow enough
// not to be heard as a change.
constexpr double kGlideDbPerSecond = 3.0;
constexpr float kFullScale = 32768.0F;
}  // namespace

GainStage::GainStage(int rate)
    : glideStep_(static_cast<float>(kGlideDbPerSecond / rate)),
      limiter_(rate, loudness::kCeilingDbtp),
      in_(kBlock * TruePeakLimiter::kChannels),
      out_((kBlock + 512) * TruePeakLimiter::kChannels)
{
}

void GainStage::start(double gainDb, bool limit)
{
    gain_ = loudness::toLinear(gainDb);
    target_ = gain_;
    limit_ = limit;
    limiter_.reset();
}

void GainStage::glideTo(double gainDb)
{
    target_ = loudness::toLinear(gainDb);
}

double GainStage::gainDb() const
{
    return loudness::toDb(gain_);
}

void GainStage::applyGain(const std::int16_t* in, std::size_t frames)
{
    constexpr int ch = TruePeakLimiter::kChannels;
    if (gain_ == target_) {
        // Not gliding: one gain for the whole block, in a loop the compiler
        // can keep simple.
        const auto g = static_cast<float>(gain_) / kFullScale;
        for (std::size_t i = 0; i < frames * ch; ++i) {
            in_[i] = static_cast<float>(in[i]) * g;
        }
        return;
    }
    const double step = std::pow(10.0, glideStep_ / 20.0);
    for (std::size_t f = 0; f < frames; ++f) {
        if (gain_ != target_) {
            gain_ =
                gain_ < target_ ? std::min(target_, gain_ * step) : std::max(target_, gain_ / step);
        }
        const auto g = static_cast<float>(gain_) / kFullScale;
        for (int c = 0; c < ch; ++c) {
            in_[f * ch + c] = static_cast<float>(in[f * ch + c]) * g;
        }
    }
}

void GainStage::toPcm(const float* in, std::size_t frames, std::int16_t* out)
{
    for (std::size_t i = 0; i < frames * TruePeakLimiter::kChannels; ++i) {
        const long v = std::lrint(in[i] * kFullScale);
        out[i] = static_cast<std::int16_t>(std::clamp(v, -32768L, 32767L));
    }
}

std::size_t GainStage::process(const std::int16_t* in, std::size_t frames, std::int16_t* out)
{
    constexpr int ch = TruePeakLimiter::kChannels;
    if (!limit_ && gain_ == 1.0 && target_ == 1.0) {
        std::copy(in, in + frames * ch, out);
        return frames;
    }
    std::size_t written = 0;
    for (std::size_t done = 0; done < frames;) {
        const std::size_t n = std::min(kBlock, frames - done);
        applyGain(in + done * ch, n);
        const std::size_t got = limit_ ? limiter_.process(in_.data(), n, out_.data()) : n;
        toPcm(limit_ ? out_.data() : in_.data(), got, out + written * ch);
        written += got;
        done += n;
    }
    return written;
}

std::size_t GainStage::finish(std::int16_t* out)
{
    if (!limit_) {
        return 0;
    }
    const std::size_t got = limiter_.finish(out_.data());
    toPcm(out_.data(), got, out);
    return got;
}
