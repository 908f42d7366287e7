// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loudness/GainStage.h"

#include "audio/loudness/Loudness.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// Fast enough to follow a refined measurement within seconds, slow enough
// not to be heard as a change.
constexpr double kGlideDbPerSecond = 3.0;
constexpr float kFullScale = 32768.0F;

// out[i] = in[i] * scale, rounded to the nearest (ties to even, as lrint in
// the default rounding mode) and clamped to 16 bits. Four samples at a time
// where the machine has SSE2: the same results, a quarter of the work.
template <typename Sample>
void scaleToPcm(const Sample* in, std::size_t count, float scale, std::int16_t* out)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128 factor = _mm_set1_ps(scale);
    // Clamped before the conversion, which turns anything out of range into
    // INT_MIN; packing then saturates to 16 bits.
    const __m128 high = _mm_set1_ps(32767.0F);
    const __m128 low = _mm_set1_ps(-32768.0F);
    for (; i + 8 <= count; i += 8) {
        __m128 a;
        __m128 b;
        if constexpr (std::is_same_v<Sample, float>) {
            a = _mm_loadu_ps(in + i);
            b = _mm_loadu_ps(in + i + 4);
        } else {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
            a = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16));
            b = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpackhi_epi16(v, v), 16));
        }
        a = _mm_max_ps(_mm_min_ps(_mm_mul_ps(a, factor), high), low);
        b = _mm_max_ps(_mm_min_ps(_mm_mul_ps(b, factor), high), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_packs_epi32(_mm_cvtps_epi32(a), _mm_cvtps_epi32(b)));
    }
#endif
    for (; i < count; ++i) {
        const long v = std::lrint(static_cast<float>(in[i]) * scale);
        out[i] = static_cast<std::int16_t>(std::clamp(v, -32768L, 32767L));
    }
}
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
    scaleToPcm(in, frames * TruePeakLimiter::kChannels, kFullScale, out);
}

std::size_t GainStage::process(const std::int16_t* in, std::size_t frames, std::int16_t* out)
{
    constexpr int ch = TruePeakLimiter::kChannels;
    if (!limit_ && gain_ == 1.0 && target_ == 1.0) {
        std::copy(in, in + frames * ch, out);
        return frames;
    }
    if (!limit_ && gain_ == target_) {
        // A steady gain alone: straight from samples to samples, in one pass.
        scaleToPcm(in, frames * ch, static_cast<float>(gain_), out);
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
