// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

// One open audio file, decoded to interleaved 16-bit PCM at its own rate and
// channel count. Used by one thread at a time.
class Decoder {
public:
    virtual ~Decoder() = default;

    virtual int sampleRate() const = 0;
    virtual int channels() const = 0;
    // Exact length in sample frames.
    virtual std::int64_t length() const = 0;
    // Positions the next read at the given frame; false when that fails.
    virtual bool seek(std::int64_t frame) = 0;
    // Reads up to `frames` frames. 0 means the end, or a fault that ends the song.
    virtual std::size_t read(std::int16_t* out, std::size_t frames) = 0;
};
