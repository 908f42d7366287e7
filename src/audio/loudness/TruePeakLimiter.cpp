// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loudness/TruePeakLimiter.h"

#include <algorithm>
#include <cmath>

namespace {
// The gain closes its distance to unity by a factor e in this time.
constexpr double kReleaseSeconds = 0.08;

double lanczos(double x, double a)
{
    if (x == 0.0) {
        return 1.0;
    }
    if (std::abs(x) >= a) {
        return 0.0;
    }
    const double px = M_PI * x;
    return a * std::sin(px) * std::sin(px / a) / (px * px);
}
}  // namespace

TruePeakLimiter::TruePeakLimiter(int rate, double ceilingDb)
    : ceiling_(static_cast<float>(std::pow(10.0, ceilingDb / 20.0))),
      releaseStep_(static_cast<float>(1.0 - std::exp(-1.0 / (kReleaseSeconds * rate)))),
      history_(kHistory * kChannels, 0.0F),
      loudest_(kHistory, 0.0F)
{
    // Values at t + 1/4, 2/4, 3/4 from the samples t-3 .. t+4.
    float reach = 0.0F;
    for (std::size_t p = 0; p < 3; ++p) {
        const double phase = static_cast<double>(p + 1) / 4.0;
        float sum = 0.0F;
        for (std::size_t j = 0; j < kTaps; ++j) {
            const double offset = static_cast<double>(j) - 3.0;
            taps_[p][j] = static_cast<float>(lanczos(phase - offset, 4.0));
            sum += std::abs(taps_[p][j]);
        }
        reach = std::max(reach, sum);
    }
    tapReach_ = reach;
    reset();
}

void TruePeakLimiter::reset()
{
    deepest_ = 1.0F;
    std::fill(history_.begin(), history_.end(), 0.0F);
    std::fill(loudest_.begin(), loudest_.end(), 0.0F);
    in_ = 0;
    realIn_ = 0;
    out_ = 0;
    windowHead_ = 0;
    windowSize_ = 0;
    released_ = 1.0F;
    box_.fill(1.0F);
    boxSum_ = kLookAhead;
    // Silence before the first frame, so the gain can already fall ahead of
    // a peak right at the start.
    static constexpr std::array<float, kChannels> silence{};
    float* none = nullptr;
    std::size_t written = 0;
    for (std::size_t i = 0; i < kLookAhead; ++i) {
        push(silence.data(), false, none, written);
    }
}

std::size_t TruePeakLimiter::process(const float* in, std::size_t frames, float* out)
{
    std::size_t written = 0;
    for (std::size_t f = 0; f < frames;) {
        const std::size_t quiet = passQuiet(in + f * kChannels, frames - f, out);
        if (quiet > 0) {
            f += quiet;
            out += quiet * kChannels;
            written += quiet;
            continue;
        }
        push(in + f * kChannels, true, out, written);
        ++f;
    }
    return written;
}

// No gain under unity is held, in the window or on its way out: the gain
// applied is exactly 1.
bool TruePeakLimiter::atRest() const
{
    return windowSize_ == 0 && released_ == 1.0F && in_ - realIn_ == kLookAhead &&
           realIn_ > latency() &&
           std::all_of(box_.begin(), box_.end(), [](float g) { return g == 1.0F; });
}

// Where the limiter is at rest and no sample near a run of frames can reach
// the ceiling, even between samples, push() would find unity for every one
// of them and write each frame as it took it, latency() frames later. A run
// of such frames is taken here at once, with the same result; 0 when the
// next frame needs push().
std::size_t TruePeakLimiter::passQuiet(const float* in, std::size_t frames, float* out)
{
    if (!atRest()) {
        return 0;
    }
    const std::size_t n = std::min(frames, kQuietRun);
    // push() looks back at the frames before the run.
    float near = 0.0F;
    for (std::size_t j = 1; j < kTaps; ++j) {
        near = std::max(near, loudest_[(in_ - j) & (kHistory - 1)]);
    }
    std::array<float, kQuietRun> loudest{};
    for (std::size_t f = 0; f < n; ++f) {
        loudest[f] = std::max(std::abs(in[f * kChannels]), std::abs(in[f * kChannels + 1]));
        near = std::max(near, loudest[f]);
    }
    if (near * tapReach_ > ceiling_ || near > ceiling_) {
        return 0;
    }
    for (std::size_t f = 0; f < n; ++f) {
        const std::uint64_t t = in_ + f;
        for (int c = 0; c < kChannels; ++c) {
            x(t, c) = in[f * kChannels + static_cast<std::size_t>(c)];
        }
        loudest_[t & (kHistory - 1)] = loudest[f];
        // The frame push() writes as it takes frame t.
        const std::uint64_t k = t + 1 - kLookAhead - kInterpolationReach;
        for (int c = 0; c < kChannels; ++c) {
            out[f * kChannels + static_cast<std::size_t>(c)] = x(k, c);
        }
    }
    in_ += n;
    realIn_ += n;
    out_ += n;
    return n;
}

std::size_t TruePeakLimiter::finish(float* out)
{
    static constexpr std::array<float, kChannels> silence{};
    std::size_t written = 0;
    while (out_ < realIn_) {
        push(silence.data(), false, out, written);
    }
    const float deepest = deepest_;
    reset();
    deepest_ = deepest;
    return written;
}

// The largest magnitude at sample t and between t and t + 1. Needs the
// samples up to t + 4.
float TruePeakLimiter::peakAround(std::uint64_t t) const
{
    float near = 0.0F;
    for (std::size_t j = 0; j < kTaps; ++j) {
        near = std::max(near, loudest_[(t + j - 3) & (kHistory - 1)]);
    }
    if (near * tapReach_ <= ceiling_) {
        return near;  // nothing here can reach the ceiling, between samples either
    }
    float peak = 0.0F;
    for (int c = 0; c < kChannels; ++c) {
        peak = std::max(peak, std::abs(x(t, c)));
        for (const auto& phase : taps_) {
            float v = 0.0F;
            for (std::size_t j = 0; j < kTaps; ++j) {
                v += phase[j] * x(t + j - 3, c);
            }
            peak = std::max(peak, std::abs(v));
        }
    }
    return peak;
}

float TruePeakLimiter::requiredGain(std::uint64_t t) const
{
    const float peak = peakAround(t);
    return peak > ceiling_ ? ceiling_ / peak : 1.0F;
}

// Takes one frame at time in_. The required gain of frame d = in_ - 4 becomes
// known; the sliding minimum over [k, k + kLookAhead) is complete for
// k = d - kLookAhead + 1; the gain of frame k is the mean of those minima
// (after the release) over the frames k - kLookAhead + 1 .. k, which can never
// exceed the required gain of any of them.
void TruePeakLimiter::push(const float* frame, bool real, float*& out, std::size_t& written)
{
    const std::uint64_t t = in_++;
    realIn_ += real ? 1 : 0;
    float loudest = 0.0F;
    for (int c = 0; c < kChannels; ++c) {
        x(t, c) = frame[c];
        loudest = std::max(loudest, std::abs(frame[c]));
    }
    loudest_[t & (kHistory - 1)] = loudest;
    if (t < kInterpolationReach) {
        return;
    }
    const std::uint64_t d = t - kInterpolationReach;
    const float gain = requiredGain(d);
    // Only gains under unity enter the window: an empty window means unity.
    if (gain < 1.0F) {
        while (windowSize_ > 0 &&
               window_[(windowHead_ + windowSize_ - 1) % kHistory].gain >= gain) {
            --windowSize_;
        }
        window_[(windowHead_ + windowSize_) % kHistory] = Entry{d, gain};
        ++windowSize_;
    }
    if (d + 1 < kLookAhead) {
        return;
    }
    const std::uint64_t k = d + 1 - kLookAhead;
    while (windowSize_ > 0 && window_[windowHead_].t < k) {
        windowHead_ = (windowHead_ + 1) % kHistory;
        --windowSize_;
    }
    const float lowest = windowSize_ > 0 ? window_[windowHead_].gain : 1.0F;
    released_ = std::min(lowest, released_ + (1.0F - released_) * releaseStep_);
    float& slot = box_[k % kLookAhead];
    boxSum_ += static_cast<double>(released_) - static_cast<double>(slot);
    slot = released_;
    const auto applied = std::min(1.0F, static_cast<float>(boxSum_ / kLookAhead));
    if (k < kLookAhead || k - kLookAhead >= realIn_) {
        return;  // the lead-in, or padding behind the end
    }
    deepest_ = std::min(deepest_, applied);
    for (int c = 0; c < kChannels; ++c) {
        out[c] = x(k, c) * applied;
    }
    out += kChannels;
    ++out_;
    ++written;
}
