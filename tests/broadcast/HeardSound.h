// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

// What a listener's player would make of a stream: decoded with the
// program's own decoders, and looked at for tones.
namespace heard_sound {

// Stereo, interleaved, at the stream's own rate (Opus decodes at 48 kHz).
struct Heard {
    int rate = 44100;
    std::vector<std::int16_t> pcm;

    std::size_t frames() const { return pcm.size() / 2; }
};

// Empty when the bytes do not decode.
Heard decode(const QByteArray& stream, const QString& extension);

// Of the power of the left channel in frames [first, first + count), the
// share at `hz` (0 to 1).
double toneShare(const Heard& heard, std::size_t first, std::size_t count, double hz);
// Root mean square of the left channel over those frames (full scale 1).
double level(const Heard& heard, std::size_t first, std::size_t count);

// The first window of `window` frames where `hz` holds at least `share` of
// the power; -1 when none.
long firstWindowWith(const Heard& heard, std::size_t window, double hz, double share);

}  // namespace heard_sound
