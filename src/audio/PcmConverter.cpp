// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/PcmConverter.h"

#include "audio/AudioFormat.h"

#include <SDL_audio.h>
#include <algorithm>
#include <array>
#include <cstring>

namespace {
constexpr std::size_t kPadFrames = 1024;
constexpr int kMaxPadRounds = 64;
}  // namespace

bool PcmConverter::accepts(int rate, int channels)
{
    return rate >= kMinRate && rate <= kMaxRate && channels >= 1 && channels <= kMaxChannels;
}

PcmConverter::PcmConverter(int rate, int channels)
    : stream_(accepts(rate, channels)
                  ? SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(channels), rate,
                                       AUDIO_S16SYS, audio_format::kChannels, audio_format::kRate)
                  : nullptr),
      rate_(rate),
      channels_(channels)
{
}

PcmConverter::~PcmConverter()
{
    if (stream_ != nullptr) {
        SDL_FreeAudioStream(stream_);
    }
}

std::uint64_t PcmConverter::expectedOut() const
{
    const auto rate = static_cast<std::uint64_t>(rate_);
    return (in_ * audio_format::kRate + rate / 2) / rate;
}

std::size_t PcmConverter::streamAvailable() const
{
    const int bytes = SDL_AudioStreamAvailable(stream_);
    return bytes > 0 ? static_cast<std::size_t>(bytes) / audio_format::kFrameBytes : 0;
}

bool PcmConverter::put(const std::int16_t* samples, std::size_t frames)
{
    if (stream_ == nullptr || frames > kMaxPutFrames) {
        return false;
    }
    const auto bytes = frames * static_cast<std::size_t>(channels_) * sizeof(std::int16_t);
    if (SDL_AudioStreamPut(stream_, samples, static_cast<int>(bytes)) != 0) {
        return false;
    }
    in_ += frames;
    return true;
}

void PcmConverter::finish()
{
    if (stream_ == nullptr || in_ == 0) {
        return;
    }
    // No SDL_AudioStreamFlush here: in SDL 2.26 it throws the held-back
    // frames away instead of releasing them.
    static const std::array<std::int16_t, kPadFrames * kMaxChannels> silence{};
    const std::uint64_t expected = expectedOut();
    for (int round = 0; round < kMaxPadRounds && out_ + streamAvailable() < expected; ++round) {
        SDL_AudioStreamPut(stream_, silence.data(),
                           static_cast<int>(kPadFrames * static_cast<std::size_t>(channels_) *
                                            sizeof(std::int16_t)));
    }
    const std::size_t rest = static_cast<std::size_t>(
        std::min<std::uint64_t>(expected - std::min(expected, out_), streamAvailable()));
    // Keep what is still unread from an earlier stretch; drop what was taken.
    tail_.erase(tail_.begin(), tail_.begin() + static_cast<std::ptrdiff_t>(tailRead_));
    tailRead_ = 0;
    // Nothing to take: SDL would call the empty buffer's null pointer an
    // error and keep the message in a per-thread block it never frees.
    if (rest > 0) {
        const std::size_t at = tail_.size();
        tail_.resize(at + rest * audio_format::kChannels);
        const int got = SDL_AudioStreamGet(stream_, tail_.data() + at,
                                           static_cast<int>(rest * audio_format::kFrameBytes));
        tail_.resize(at + static_cast<std::size_t>(std::max(got, 0)) / sizeof(std::int16_t));
    }
    SDL_AudioStreamClear(stream_);
    in_ = 0;
    out_ = 0;
}

std::size_t PcmConverter::available() const
{
    if (stream_ == nullptr) {
        return 0;
    }
    return (tail_.size() - tailRead_) / audio_format::kChannels + streamAvailable();
}

std::size_t PcmConverter::get(std::int16_t* out, std::size_t frames)
{
    if (stream_ == nullptr) {
        return 0;
    }
    std::size_t done = 0;
    const std::size_t tailFrames = (tail_.size() - tailRead_) / audio_format::kChannels;
    if (tailFrames > 0) {
        done = std::min(frames, tailFrames);
        std::memcpy(out, tail_.data() + tailRead_, done * audio_format::kFrameBytes);
        tailRead_ += done * audio_format::kChannels;
        if (tailRead_ == tail_.size()) {
            tail_.clear();
            tailRead_ = 0;
        }
    }
    const std::size_t want = std::min(frames - done, streamAvailable());
    if (want > 0) {
        const int got = SDL_AudioStreamGet(stream_, out + done * audio_format::kChannels,
                                           static_cast<int>(want * audio_format::kFrameBytes));
        if (got > 0) {
            const std::size_t n = static_cast<std::size_t>(got) / audio_format::kFrameBytes;
            out_ += n;
            done += n;
        }
    }
    return done;
}

void PcmConverter::clear()
{
    if (stream_ != nullptr) {
        SDL_AudioStreamClear(stream_);
    }
    tail_.clear();
    tailRead_ = 0;
    in_ = 0;
    out_ = 0;
}
