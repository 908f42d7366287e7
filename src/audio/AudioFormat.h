// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

// The one format everything is converted to before it reaches the mixer:
// 16-bit interleaved stereo at 44.1 kHz, what nearly every mp3 already is, so
// common songs pass through without resampling.
namespace audio_format {
constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr std::size_t kFrameBytes = sizeof(short) * kChannels;
}  // namespace audio_format
