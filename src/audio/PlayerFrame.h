// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

// What a frame of the player library is: one sample frame at 44,100 frames a
// second, for songs of every kind and rate. MpegPlayer's frame numbers, its
// GetTotalframes and everything that counts in them use this unit, so frame
// 10 is 0.2 ms into a song and the flush start "from frame 500" begins 11 ms
// in: it primes the output and never skips music. 32-bit frame numbers hold
// 13.5 hours; a longer song's length is clamped to the last of them.
//
// Frame numbers start at 1; the offsets below count frames from the song's
// start (frame n is at offset n - 1).
namespace player_frame {
constexpr std::int64_t kPerSecond = 44100;
// The largest length a song is given (the largest value is the player's
// "length still pending").
constexpr std::int32_t kLongest = std::numeric_limits<std::int32_t>::max() - 1;

// The length in frames of `songFrames` frames at the song's own `rate`; a
// last frame that is partly filled counts.
constexpr std::int32_t lengthOf(std::int64_t songFrames, int rate)
{
    if (rate <= 0 || songFrames <= 0) {
        return 0;
    }
    const std::int64_t whole = songFrames / rate * kPerSecond;
    const std::int64_t part = (songFrames % rate * kPerSecond + rate - 1) / rate;
    return static_cast<std::int32_t>(std::min<std::int64_t>(whole + part, kLongest));
}

// The song's own frame at `offset` frames from its start.
constexpr std::int64_t songFrameAt(std::int64_t offset, int rate)
{
    if (offset <= 0 || rate <= 0) {
        return 0;
    }
    return offset / kPerSecond * rate + offset % kPerSecond * rate / kPerSecond;
}

// Whole milliseconds from the song's start to `offset`.
constexpr std::int64_t msAt(std::int64_t offset)
{
    return offset <= 0 ? 0 : offset * 1000 / kPerSecond;
}

// The first offset that msAt reads back as `ms`.
constexpr std::int64_t offsetAtMs(std::int64_t ms)
{
    return ms <= 0 ? 0 : (ms * kPerSecond + 999) / 1000;
}
}  // namespace player_frame
