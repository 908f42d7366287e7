// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct _SDL_AudioStream;

// Converts 16-bit PCM of any rate and channel count to the output format with
// an SDL_AudioStream, and gives back exactly as many frames as the input
// makes. SDL 2.26 keeps the resampler's last frames back, and its
// SDL_AudioStreamFlush loses them; finish() pushes silence behind the input
// to get them out and cuts the padding off again. Used by one thread at a time.
class PcmConverter {
public:
    // The input formats real audio uses; a converter for any other is not
    // valid(), so an absurd file is refused instead of growing a thousandfold.
    static constexpr int kMinRate = 8000;
    static constexpr int kMaxRate = 384000;
    static constexpr int kMaxChannels = 8;
    // One put() takes at most this many frames, so one chunk grows to at
    // most 65,536 x 44,100 / 8,000 frames (1.4 MB) on the way out.
    static constexpr std::size_t kMaxPutFrames = 65536;

    static bool accepts(int rate, int channels);

    PcmConverter(int rate, int channels);
    ~PcmConverter();
    PcmConverter(const PcmConverter&) = delete;
    PcmConverter& operator=(const PcmConverter&) = delete;

    bool valid() const { return stream_ != nullptr; }
    int rate() const { return rate_; }
    int channels() const { return channels_; }

    // False when the converter is not valid, `frames` is over kMaxPutFrames
    // or the conversion fails.
    bool put(const std::int16_t* samples, std::size_t frames);
    // The input ends here: everything it makes becomes available. Later input
    // starts a new, independent stretch.
    void finish();
    // True while input has gone in since the last finish().
    bool unfinished() const { return in_ > 0; }
    std::size_t available() const;
    std::size_t get(std::int16_t* out, std::size_t frames);
    // Drops everything.
    void clear();

private:
    std::uint64_t expectedOut() const;
    std::size_t streamAvailable() const;

    _SDL_AudioStream* stream_;
    int rate_;
    int channels_;
    std::uint64_t in_ = 0;            // input frames of the current stretch
    std::uint64_t out_ = 0;           // output frames taken from the stream for it
    std::vector<std::int16_t> tail_;  // finished output not yet taken
    std::size_t tailRead_ = 0;        // samples of tail_ already taken
};
