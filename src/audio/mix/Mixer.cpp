// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/mix/Mixer.h"

#include "audio/AudioFormat.h"
#include "audio/loudness/Loudness.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
// About 1.5 s of music per ring: enough to ride out a slow decode. A seek
// drops what is queued, so it is heard at once all the same.
constexpr std::size_t kMusicFrames = 65536;
// While music alone plays, the decode thread is woken once this much of the
// audible ring is free: little more than once a second, with 0.74 s still
// queued. Each wake-up costs more than decoding a few thousand frames.
constexpr std::size_t kRefillRoom = kMusicFrames / 2;
// The voice producer blocks at one second queued; the rest is headroom for a
// converted chunk.
constexpr std::size_t kVoiceFrames = 65536 + 32768;
constexpr float kFullScale = 32767.0F;
// Samples of an overlap stay this far under full scale, so that the peaks
// between them stay under the true-peak ceiling.
const float kOverlapCeiling = static_cast<float>(loudness::toLinear(loudness::kCeilingDbtp - 0.6));
}  // namespace

Mixer::Mixer()
    : music_{PcmRing(kMusicFrames, audio_format::kChannels),
             PcmRing(kMusicFrames, audio_format::kChannels)},
      voice_(kVoiceFrames, audio_format::kChannels),
      meter_(audio_format::kRate),
      ducker_(audio_format::kRate),
      guard_(audio_format::kRate),
      overlapGuard_(audio_format::kRate)
{
    for (auto& end : end_) {
        end.store(kNoEnd, std::memory_order_relaxed);
    }
    for (auto& end : expectedEnd_) {
        end.store(kNoEnd, std::memory_order_relaxed);
    }
}

std::uint64_t Mixer::pack(const Switch& s)
{
    return (std::uint64_t{s.takes} << 32) |
           (std::uint64_t{static_cast<std::uint8_t>(s.blend) & 3U} << 30) |
           (std::uint64_t{std::min(s.overlapMs, kMaxOverlapMs)} << 16) |
           (std::uint64_t{static_cast<std::uint8_t>(s.mode)} << 8) | (s.armed ? 2U : 0U) |
           static_cast<std::uint64_t>(s.audible & 1);
}

Mixer::Switch Mixer::unpack(std::uint64_t word)
{
    Switch s;
    s.audible = static_cast<int>(word & 1U);
    s.armed = (word & 2U) != 0;
    s.mode = static_cast<FollowOn>((word >> 8) & 0xFFU);
    s.overlapMs = static_cast<std::uint16_t>((word >> 16) & kMaxOverlapMs);
    s.blend = static_cast<crossfade::Blend>((word >> 30) & 3U);
    s.takes = static_cast<std::uint32_t>(word >> 32);
    return s;
}

void Mixer::markEnd(int ring, std::uint64_t position)
{
    end_[static_cast<std::size_t>(ring & 1)].store(position, std::memory_order_release);
}

std::uint64_t Mixer::endOf(int ring) const
{
    return end_[static_cast<std::size_t>(ring & 1)].load(std::memory_order_acquire);
}

void Mixer::markExpectedEnd(int ring, std::uint64_t position)
{
    expectedEnd_[static_cast<std::size_t>(ring & 1)].store(position, std::memory_order_release);
}

std::uint64_t Mixer::expectedEndOf(int ring) const
{
    return expectedEnd_[static_cast<std::size_t>(ring & 1)].load(std::memory_order_acquire);
}

bool Mixer::arm(const Switch& seen, FollowOn mode, std::uint16_t overlapMs, crossfade::Blend blend)
{
    Switch next = seen;
    next.armed = true;
    next.mode = mode;
    next.overlapMs = std::min(overlapMs, kMaxOverlapMs);
    next.blend = blend;
    std::uint64_t expected = pack(seen);
    return switch_.compare_exchange_strong(expected, pack(next), std::memory_order_acq_rel);
}

bool Mixer::select(const Switch& seen, int ring)
{
    Switch next = seen;
    next.armed = false;
    next.audible = ring & 1;
    std::uint64_t expected = pack(seen);
    return switch_.compare_exchange_strong(expected, pack(next), std::memory_order_acq_rel);
}

bool Mixer::atEnd(int ring) const
{
    const std::uint64_t end = endOf(ring);
    return end != kNoEnd && musicRing(ring).readPosition() >= end;
}

std::size_t Mixer::pendingFrames() const
{
    std::size_t music = 0;
    if (!musicPaused()) {
        const Switch s = switchState();
        music = musicRing(s.audible).queuedFrames();
        if (s.armed && endOf(s.audible) != kNoEnd) {
            music += musicRing(s.audible ^ 1).queuedFrames();
        }
    }
    return std::max(music, voice_.queuedFrames());
}

void Mixer::render(std::int16_t* out, std::size_t frames) noexcept
{
    const Seen before{switchState().takes, voice_.readPosition(), fade_.active};
    for (std::size_t done = 0; done < frames;) {
        const std::size_t n = std::min(kBlock, frames - done);
        renderBlock(out + done * audio_format::kChannels, n);
        done += n;
    }
    sinks_.feed(out, frames);
    if (decoderWanted(before)) {
        consumed_.notify();
    }
}

// The decode thread has something to do: room in the audible ring worth a
// refill, a song's end to tell or follow on from, a follow-on taken or an
// overlap ended in this block (the song before has ended), the voice to
// look after (also when its last frames were just heard), or the output to
// pause. Otherwise it sleeps on, for a second or so.
bool Mixer::decoderWanted(const Seen& before) const
{
    const Switch s = switchState();
    const PcmRing& ring = musicRing(s.audible);
    return ring.freeFrames() >= kRefillRoom || ring.queuedFrames() == 0 ||
           endOf(s.audible) != kNoEnd || s.takes != before.takes || fade_.active != before.fading ||
           voice_.readPosition() != before.voiceRead || voice_.queuedFrames() > 0 || musicPaused();
}

// An overlap goes on until the song that ends has been read to its end; the
// decode thread moving the output elsewhere ends it at once.
std::size_t Mixer::readMusic(std::int16_t* out, std::size_t frames) noexcept
{
    const std::uint64_t word = switch_.load(std::memory_order_acquire);
    const Switch s = unpack(word);
    if (fade_.active && (s.takes != fade_.takes || s.audible == fade_.ring)) {
        fade_.active = false;
        crossfading_.store(false, std::memory_order_release);
    }
    if (fade_.active) {
        return readFading(out, frames);
    }
    const std::uint64_t at = crossfadeStart(s);
    const std::uint64_t position = musicRing(s.audible).readPosition();
    if (at == kNoEnd || position + frames <= at) {
        return readPlain(out, frames);
    }
    const std::size_t before = position < at ? static_cast<std::size_t>(at - position) : 0;
    const std::size_t got = musicRing(s.audible).read(out, before);
    if (got < before) {
        return got;  // the decoder is late: the overlap starts when the frames come
    }
    if (startFade(word, s, std::max(at, position))) {
        return got + readFading(out + got * audio_format::kChannels, frames - got);
    }
    return got + readPlain(out + got * audio_format::kChannels, frames - got);
}

// Where an armed overlap begins in the audible ring; kNoEnd when there is
// none to begin: no overlap asked, the end not foreseen, the next song not
// decoded yet, or the voice talking.
std::uint64_t Mixer::crossfadeStart(const Switch& s) const
{
    if (!s.armed || s.overlapMs == 0 || voice_.queuedFrames() > 0 ||
        musicRing(s.audible ^ 1).queuedFrames() == 0) {
        return kNoEnd;
    }
    const std::uint64_t end =
        endOf(s.audible) != kNoEnd ? endOf(s.audible) : expectedEndOf(s.audible);
    if (end == kNoEnd) {
        return kNoEnd;
    }
    const std::uint64_t overlap = std::uint64_t{s.overlapMs} * audio_format::kRate / 1000;
    return end > overlap ? end - overlap : 0;
}

bool Mixer::startFade(std::uint64_t word, const Switch& s, std::uint64_t at)
{
    Switch next = s;
    next.armed = false;
    next.audible = s.audible ^ 1;
    next.takes = s.takes + 1;
    if (!switch_.compare_exchange_strong(word, pack(next), std::memory_order_acq_rel)) {
        return false;
    }
    const std::uint64_t end =
        endOf(s.audible) != kNoEnd ? endOf(s.audible) : expectedEndOf(s.audible);
    fade_.active = true;
    fade_.ring = s.audible;
    fade_.done = 0;
    fade_.length = end > at ? end - at : 1;
    fade_.blend = s.blend;
    fade_.takes = next.takes;
    crossfading_.store(true, std::memory_order_release);
    return true;
}

// Both songs at the blend's gains, summed under the overlap's ceiling.
std::size_t Mixer::readFading(std::int16_t* out, std::size_t frames) noexcept
{
    constexpr std::size_t ch = audio_format::kChannels;
    const std::size_t incoming = musicRing(fade_.ring ^ 1).read(out, frames);
    const std::size_t outgoing = musicRing(fade_.ring).read(fadeBlock_.data(), frames);
    const float headroom = 1.0F / (kOverlapCeiling * kFullScale);
    for (std::size_t f = 0; f < frames; ++f) {
        const double t = static_cast<double>(fade_.done + f) / static_cast<double>(fade_.length);
        const crossfade::Gains g = crossfade::gains(fade_.blend, t);
        for (std::size_t c = 0; c < ch; ++c) {
            const float in = f < incoming ? static_cast<float>(out[f * ch + c]) : 0.0F;
            const float ending = f < outgoing ? static_cast<float>(fadeBlock_[f * ch + c]) : 0.0F;
            sum_[f * ch + c] = (g.in * in + g.out * ending) * headroom;
        }
    }
    overlapGuard_.process(sum_.data(), frames, static_cast<int>(ch));
    const float scale = kOverlapCeiling * kFullScale;
    for (std::size_t i = 0; i < frames * ch; ++i) {
        out[i] = static_cast<std::int16_t>(std::lrint(sum_[i] * scale));
    }
    fade_.done += frames;
    if (atEnd(fade_.ring) || (outgoing < frames && fade_.done >= fade_.length)) {
        fade_.active = false;
        crossfading_.store(false, std::memory_order_release);
    }
    return frames;
}

// Reads the audible ring; at the end of its song an armed follow-on is taken
// (or, when its condition fails, dropped) and the rest of the block comes
// from the other ring.
std::size_t Mixer::readPlain(std::int16_t* out, std::size_t frames) noexcept
{
    std::uint64_t word = switch_.load(std::memory_order_acquire);
    Switch s = unpack(word);
    std::size_t got = musicRing(s.audible).read(out, frames);
    if (got == frames || !s.armed || !atEnd(s.audible)) {
        return got;
    }
    const bool take = s.mode == FollowOn::Always || voice_.queuedFrames() == 0;
    Switch next = s;
    next.armed = false;
    if (take) {
        next.audible = s.audible ^ 1;
        next.takes = s.takes + 1;
    }
    if (switch_.compare_exchange_strong(word, pack(next), std::memory_order_acq_rel) && take) {
        got += musicRing(next.audible).read(out + got * audio_format::kChannels, frames - got);
    }
    return got;
}

void Mixer::renderBlock(std::int16_t* out, std::size_t frames) noexcept
{
    constexpr std::size_t ch = audio_format::kChannels;
    const std::size_t music = musicPaused() ? 0 : readMusic(out, frames);
    std::memset(out + music * ch, 0, (frames - music) * ch * sizeof(std::int16_t));

    std::uint64_t start = 0;
    const std::size_t voice = voice_.read(voiceBlock_.data(), frames, &start);
    ducker_.apply(out, frames, voice);
    if (voice > 0) {
        meter_.consumed(start, voice);
    }
    addVoice(out, voice, frames);
}

// A plain sum while it fits; when music and voice together would pass full
// scale, the guard turns the sum down just enough and lets it recover over a
// few tenths of a second, so peaks are never flattened. Music alone, with the
// guard at rest, passes untouched.
void Mixer::addVoice(std::int16_t* out, std::size_t voiceFrames, std::size_t blockFrames) noexcept
{
    constexpr std::size_t ch = audio_format::kChannels;
    if (voiceFrames == 0 && guard_.gain() >= 1.0F) {
        return;
    }
    const std::size_t samples = blockFrames * ch;
    const std::size_t voiced = voiceFrames * ch;
    for (std::size_t i = 0; i < samples; ++i) {
        const int voice = i < voiced ? int{voiceBlock_[i]} : 0;
        sum_[i] = static_cast<float>(int{out[i]} + voice) / kFullScale;
    }
    guard_.process(sum_.data(), blockFrames, static_cast<int>(ch));
    for (std::size_t i = 0; i < samples; ++i) {
        out[i] = static_cast<std::int16_t>(std::lrint(sum_[i] * kFullScale));
    }
}
