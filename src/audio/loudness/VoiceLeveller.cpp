// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loudness/VoiceLeveller.h"

#include "audio/AudioFormat.h"
#include "audio/loudness/Loudness.h"

#include <algorithm>

namespace {
constexpr std::size_t kChannels = audio_format::kChannels;
// How much of an utterance is measured before it is heard.
constexpr std::size_t kLookFrames = audio_format::kRate * 3 / 4;
// The synthesizer's quiet lead-in is held but not measured: it would make the
// start read quieter than the words. Below about -54 dBFS is lead-in.
constexpr int kLeadInLevel = 64;
// Held at most this long, lead-in included: the producer is made to wait at
// one second queued.
constexpr std::size_t kMaxHeldFrames = audio_format::kRate * 9 / 10;
// The voice heard so far counts for about the last minute, so another voice
// or another volume is followed within a few utterances.
constexpr std::uint64_t kMemoryFrames = 60 * audio_format::kRate;
constexpr std::size_t kBlockFrames = 1024;

std::size_t leadInFrames(const std::int16_t* in, std::size_t frames)
{
    const auto loud = [](std::int16_t s) { return s >= kLeadInLevel || s <= -kLeadInLevel; };
    const std::int16_t* first = std::find_if(in, in + frames * kChannels, loud);
    return static_cast<std::size_t>(first - in) / kChannels;
}
}  // namespace

VoiceLeveller::VoiceLeveller(bool enabled)
    : enabled_(enabled),
      heard_(audio_format::kRate, audio_format::kChannels),
      utterance_(audio_format::kRate, audio_format::kChannels),
      stage_(audio_format::kRate)
{
    stage_.start(0.0, enabled_);
    held_.reserve(kLookFrames * kChannels);
}

void VoiceLeveller::newVoice()
{
    heard_.reset();
    estimated_ = false;
}

void VoiceLeveller::setVolume(int percent)
{
    // A muted voice stays silent whatever gain it is given.
    const double db = percent > 0 ? loudness::toDb(percent / 100.0) : 0.0;
    if (db != volumeDb_) {
        volumeDb_ = db;
        newVoice();
    }
}

void VoiceLeveller::beginUtterance()
{
    if (!enabled_) {
        return;
    }
    if (const auto lufs = heard_.integratedLufs()) {
        estimateLufs_ = *lufs;
        estimated_ = true;
    }
    if (heard_.frames() > kMemoryFrames) {
        heard_.reset();
    }
    utterance_.reset();
    inLeadIn_ = true;
    holding_ = true;
    if (estimated_) {
        release();  // nothing to wait for: the voice is known
    }
}

void VoiceLeveller::put(const std::int16_t* in, std::size_t frames)
{
    if (!enabled_) {
        ready_.insert(ready_.end(), in, in + frames * kChannels);
        return;
    }
    heard_.add(in, frames);
    if (!holding_) {
        level(in, frames);
        return;
    }
    held_.insert(held_.end(), in, in + frames * kChannels);
    const std::size_t skip = inLeadIn_ ? leadInFrames(in, frames) : 0;
    inLeadIn_ = skip == frames;
    utterance_.add(in + skip * kChannels, frames - skip);
    if (utterance_.frames() >= kLookFrames || held_.size() >= kMaxHeldFrames * kChannels) {
        release();
    }
}

// The gain for the utterance: from the voice heard before it, else from its
// own measured start.
void VoiceLeveller::release()
{
    holding_ = false;
    const double lufs =
        estimated_ ? estimateLufs_ : utterance_.integratedLufs().value_or(estimateLufs_);
    stage_.start(loudness::gainDbFor(lufs) + volumeDb_, true);
    inStage_ = 0;
    level(held_.data(), held_.size() / kChannels);
    held_.clear();
}

void VoiceLeveller::level(const std::int16_t* in, std::size_t frames)
{
    std::int16_t out[kBlockFrames * kChannels];
    for (std::size_t done = 0; done < frames;) {
        const std::size_t n = std::min(kBlockFrames, frames - done);
        const std::size_t got = stage_.process(in + done * kChannels, n, out);
        ready_.insert(ready_.end(), out, out + got * kChannels);
        inStage_ += n - got;
        done += n;
    }
}

void VoiceLeveller::finish()
{
    if (holding_) {
        release();
    }
    if (inStage_ > 0) {
        std::vector<std::int16_t> tail(stage_.latency() * kChannels);
        const std::size_t got = stage_.finish(tail.data());
        ready_.insert(ready_.end(), tail.begin(),
                      tail.begin() + static_cast<std::ptrdiff_t>(got * kChannels));
        inStage_ = 0;
    }
}

std::size_t VoiceLeveller::take(std::int16_t* out, std::size_t max)
{
    const std::size_t available = (ready_.size() - readyTaken_) / kChannels;
    const std::size_t n = std::min(max, available);
    std::copy_n(ready_.begin() + static_cast<std::ptrdiff_t>(readyTaken_), n * kChannels, out);
    readyTaken_ += n * kChannels;
    if (readyTaken_ == ready_.size()) {
        ready_.clear();
        readyTaken_ = 0;
    }
    return n;
}

std::size_t VoiceLeveller::pending() const
{
    return (held_.size() + ready_.size() - readyTaken_) / kChannels + inStage_;
}

void VoiceLeveller::drop()
{
    held_.clear();
    ready_.clear();
    readyTaken_ = 0;
    inStage_ = 0;
    holding_ = false;
    stage_.start(stage_.gainDb(), enabled_);
}
