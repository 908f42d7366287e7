#include "audio/VoiceLeveller.h"

#include "audio/AudioFormat.h"
#include "audio/Loudness.h"

namespace {
// The measurement follows the last minute or so of voice, so another voice
// or another volume is followed within a few utterances.
constexpr std::uint64_t kMemoryFrames = 60 * audio_format::kRate;
}  // namespace

VoiceLeveller::VoiceLeveller(bool enabled)
    : enabled_(enabled),
      meter_(audio_format::kRate, audio_format::kChannels),
      stage_(audio_format::kRate)
{
    stage_.start(enabled_ ? loudness::gainDbFor(estimateLufs_) : 0.0, enabled_);
}

void VoiceLeveller::beginUtterance()
{
    if (!enabled_) {
        return;
    }
    if (const auto measured = meter_.integratedLufs()) {
        estimateLufs_ = *measured;
    }
    if (meter_.frames() > kMemoryFrames) {
        meter_.reset();
    }
    stage_.start(loudness::gainDbFor(estimateLufs_), true);
    held_ = 0;
}

std::size_t VoiceLeveller::process(const std::int16_t* in, std::size_t frames, std::int16_t* out)
{
    if (enabled_) {
        meter_.add(in, frames);
    }
    const std::size_t written = stage_.process(in, frames, out);
    held_ += frames - written;
    return written;
}

std::size_t VoiceLeveller::finish(std::int16_t* out)
{
    const std::size_t written = stage_.finish(out);
    held_ = 0;
    return written;
}

void VoiceLeveller::drop()
{
    stage_.start(stage_.gainDb(), enabled_);
    held_ = 0;
}
