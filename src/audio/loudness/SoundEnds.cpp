// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loudness/SoundEnds.h"

#include "audio/loudness/Loudness.h"
#include "audio/loudness/LoudnessMeter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
// Momentary loudness looks back over four steps (400 ms).
constexpr std::int64_t kWindowSteps = 4;
// Under this, momentary loudness is silence whatever the song.
constexpr float kSilentLufs = -200.0F;
// Beyond this much sound the edges are no longer followed (a day): the end
// is then the song's end.
constexpr std::size_t kMaxBlocks = 24 * 3600 * 100;
constexpr double kFullScale = 32768.0;
}  // namespace

SoundEnds::SoundEnds(LoudnessMeter& meter)
    : meter_(meter),
      channels_(std::max(1, meter.channels())),
      stepFrames_(std::max(1, meter.rate() / 10)),
      blockFrames_(std::max(1, meter.rate() / 100))
{
}

void SoundEnds::add(const std::int16_t* samples, std::size_t frames)
{
    const auto ch = static_cast<std::size_t>(channels_);
    while (frames > 0) {
        const auto n = static_cast<std::size_t>(
            std::min<std::int64_t>(stepFrames_ - inStep_, static_cast<std::int64_t>(frames)));
        meter_.add(samples, n);
        addPeaks(samples, n);
        inStep_ += static_cast<std::int64_t>(n);
        frames_ += static_cast<std::int64_t>(n);
        if (inStep_ == stepFrames_) {
            inStep_ = 0;
            if (peaks_.size() < kMaxBlocks) {
                momentary_.push_back(
                    static_cast<float>(meter_.momentaryLufs().value_or(kSilentLufs)));
            }
        }
        samples += n * ch;
        frames -= n;
    }
}

void SoundEnds::addPeaks(const std::int16_t* samples, std::size_t frames)
{
    const auto ch = static_cast<std::size_t>(channels_);
    for (std::size_t f = 0; f < frames; ++f) {
        for (std::size_t c = 0; c < ch; ++c) {
            const auto magnitude = static_cast<std::uint16_t>(std::abs(int{samples[f * ch + c]}));
            blockPeak_ = std::max(blockPeak_, magnitude);
        }
        if (++inBlock_ == blockFrames_) {
            if (peaks_.size() < kMaxBlocks) {
                peaks_.push_back(blockPeak_);
            }
            inBlock_ = 0;
            blockPeak_ = 0;
        }
    }
}

double SoundEnds::peakDb(std::size_t block) const
{
    return loudness::toDb(peaks_[block] / kFullScale);
}

std::optional<SoundSpan> SoundEnds::find() const
{
    const std::optional<double> lufs = meter_.integratedLufs();
    if (!lufs || momentary_.empty()) {
        return std::nullopt;
    }
    const double threshold = *lufs - kSilenceUnderLu;
    const auto loud = [threshold](float m) { return m >= threshold; };
    const auto first = std::find_if(momentary_.begin(), momentary_.end(), loud);
    if (first == momentary_.end()) {
        return std::nullopt;
    }
    const auto last = std::find_if(momentary_.rbegin(), momentary_.rend(), loud);
    SoundSpan span;
    span.start = headAt(threshold, static_cast<std::size_t>(first - momentary_.begin()));
    span.end = tailAt(threshold, static_cast<std::size_t>(momentary_.rend() - last - 1));
    const auto held = static_cast<std::int64_t>(kHeldSeconds * meter_.rate());
    if (span.start < held) {
        span.start = 0;
    }
    if (frames_ - span.end < held || peaks_.size() >= kMaxBlocks) {
        span.end = frames_;
    }
    if (span.end <= span.start) {
        return std::nullopt;
    }
    const auto edge = static_cast<std::int64_t>(kEdgeSeconds * meter_.rate());
    span.headLu = edgeLu(*lufs, span.start, std::min(span.end, span.start + edge));
    span.tailLu = edgeLu(*lufs, std::max(span.start, span.end - edge), span.end);
    return span;
}

// Sound begins within the first loud window: at its first 10 ms block that
// rises above the threshold.
std::int64_t SoundEnds::headAt(double threshold, std::size_t firstLoud) const
{
    const std::int64_t windowEnd = static_cast<std::int64_t>(firstLoud + 1) * stepFrames_;
    const std::int64_t windowStart =
        std::max<std::int64_t>(0, windowEnd - kWindowSteps * stepFrames_);
    const auto to = std::min(peaks_.size(), static_cast<std::size_t>(windowEnd / blockFrames_));
    for (auto b = static_cast<std::size_t>(windowStart / blockFrames_); b < to; ++b) {
        if (peakDb(b) >= threshold) {
            return static_cast<std::int64_t>(b) * blockFrames_;
        }
    }
    return windowStart;
}

// The last loud window ends up to a window's length after the sound, which
// ends after the last 10 ms block from a window before it to the step after
// it that rises above the threshold.
std::int64_t SoundEnds::tailAt(double threshold, std::size_t lastLoud) const
{
    const std::int64_t windowEnd = static_cast<std::int64_t>(lastLoud + 1) * stepFrames_;
    const std::int64_t windowStart =
        std::max<std::int64_t>(0, windowEnd - 2 * kWindowSteps * stepFrames_);
    const auto from = static_cast<std::size_t>(windowStart / blockFrames_);
    const auto to =
        std::min(peaks_.size(), static_cast<std::size_t>((windowEnd + stepFrames_) / blockFrames_));
    for (std::size_t b = to; b > from; --b) {
        if (peakDb(b - 1) >= threshold) {
            return std::min(frames_, static_cast<std::int64_t>(b) * blockFrames_);
        }
    }
    return std::min(frames_, windowEnd);
}

// The mean power of the momentary loudness of the windows that end within
// [from, to], against the song's loudness.
double SoundEnds::edgeLu(double songLufs, std::int64_t from, std::int64_t to) const
{
    double power = 0.0;
    int windows = 0;
    for (std::size_t i = 0; i < momentary_.size(); ++i) {
        const std::int64_t end = static_cast<std::int64_t>(i + 1) * stepFrames_;
        if (end < from + kWindowSteps * stepFrames_ || end > to) {
            continue;
        }
        power += std::pow(10.0, momentary_[i] / 10.0);
        ++windows;
    }
    if (windows == 0) {
        return 0.0;
    }
    const double mean = power / windows;
    return mean > 0.0 ? 10.0 * std::log10(mean) - songLufs : -100.0;
}
