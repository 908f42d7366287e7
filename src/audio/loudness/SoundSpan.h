// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// Where a song's sound starts and ends, in the song's own sample frames (at
// its own rate), and how loud its first and last seconds of sound are
// against the song as a whole (in LU; -6 and under is a soft start or an
// ending that fades). Silence before `start` and after `end` is left out
// when the song plays.
struct SoundSpan {
    std::int64_t start = 0;
    std::int64_t end = 0;
    double headLu = 0.0;
    double tailLu = 0.0;

    bool operator==(const SoundSpan&) const = default;
};
