// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// How two songs overlap when the next starts under the end of the one
// playing, chosen from the loudness of the two ends so that the join never
// bumps the level: the decode thread picks the blend and its length, the
// mixer applies its gains.
namespace crossfade {

enum class Blend : std::uint8_t {
    EqualPower,  // two loud ends: a short crossfade of constant power
    FadingEnd,   // the ending fades by itself: overlapped as it is, the start
                 // brought in over the first quarter
    QuietStart,  // a soft start: it comes in at once, the ending fades out
};

struct Gains {
    float out = 1.0F;  // the song that ends
    float in = 1.0F;   // the song that starts
};

// An edge this far under its song's loudness (LU) is quiet.
constexpr double kQuietEdgeLu = -6.0;
// Two loud ends cross in at most this long.
constexpr std::int32_t kLoudOverlapMs = 2000;
// The longest overlap asked for.
constexpr std::int32_t kMaxOverlapMs = 10000;

// The blend for an ending whose last seconds are `tailLu` and a start whose
// first seconds are `headLu` against their songs' loudness.
Blend choose(double tailLu, double headLu);
// The overlap for `blend` when `askedMs` were asked for.
std::int32_t overlapMs(Blend blend, std::int32_t askedMs);
// The gains at `t`, from 0 (the overlap begins) to 1 (the ending is over).
Gains gains(Blend blend, double t);

}  // namespace crossfade
