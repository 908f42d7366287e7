// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/TextSynthesis.h"

#include "audio/VoiceOutput.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {
constexpr std::size_t kSilenceBlock = 441;
// How far a cut for a pause may move to find a quiet sample (about 4 ms), so
// the added silence does not click.
constexpr std::size_t kCutSearch = 80;
}  // namespace

TextSynthesis::TextSynthesis(VoiceOutput& output, Params params)
    : output_(output), params_(std::move(params))
{
}

bool TextSynthesis::onSynthBlock(const short* samples, std::size_t count,
                                 const std::vector<SynthWord>& words)
{
    if (cancelled()) {
        return false;
    }
    const std::size_t total = samples != nullptr ? count : 0;
    std::size_t cursor = 0;
    for (const SynthWord& w : words) {
        if (params_.listener && !w.word.isEmpty()) {
            params_.listener({params_.textNumber, w.word});
        }
        if (firstWord_) {
            firstWord_ = false;
            continue;
        }
        if (params_.pauseFrames == 0) {
            continue;
        }
        // The word's frame counts the synthesizer's own speech, not the
        // silence put in here.
        const std::int64_t at = w.frame - callFrames_;
        const std::size_t wanted = static_cast<std::size_t>(std::clamp<std::int64_t>(
            at, static_cast<std::int64_t>(cursor), static_cast<std::int64_t>(total)));
        const std::size_t cut = quietCut(samples, cursor, wanted, total);
        if (!push(samples + cursor, cut - cursor) || !pushSilence(params_.pauseFrames)) {
            return false;
        }
        cursor = cut;
    }
    const bool ok = push(samples + cursor, total - cursor);
    callFrames_ += static_cast<std::int64_t>(total);
    return ok;
}

bool TextSynthesis::push(const short* samples, std::size_t count)
{
    if (count > 0) {
        const short* out = samples;
        if (params_.gain != 1.0) {
            scaled_.resize(count);
            constexpr double kLow = std::numeric_limits<short>::min();
            constexpr double kHigh = std::numeric_limits<short>::max();
            for (std::size_t i = 0; i < count; ++i) {
                scaled_[i] = static_cast<short>(
                    std::clamp(std::lround(samples[i] * params_.gain), long(kLow), long(kHigh)));
            }
            out = scaled_.data();
        }
        output_.pushVoice(out, count, params_.sampleRate, 1);
        pushed_ += count;
    }
    if (cancelled()) {
        // The stop may have flushed the output just before these samples got
        // in; nothing of a cancelled text may stay behind.
        output_.flushVoice();
        return false;
    }
    return true;
}

bool TextSynthesis::pushSilence(std::size_t frames)
{
    static const std::array<std::int16_t, kSilenceBlock> zeros{};
    while (frames > 0) {
        const std::size_t n = std::min(frames, kSilenceBlock);
        if (!push(zeros.data(), n)) {
            return false;
        }
        frames -= n;
    }
    return true;
}

std::size_t TextSynthesis::quietCut(const short* samples, std::size_t from, std::size_t at,
                                    std::size_t end) const
{
    if (samples == nullptr || at >= end) {
        return at;
    }
    const std::size_t lo = at > from + kCutSearch ? at - kCutSearch : from;
    const std::size_t hi = std::min(end, at + kCutSearch);
    std::size_t best = at;
    for (std::size_t i = lo; i < hi; ++i) {
        if (std::abs(samples[i]) < std::abs(samples[best])) {
            best = i;
        }
    }
    return best;
}
