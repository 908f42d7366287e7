// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/loudness/SoundSpan.h"

#include <cmath>
#include <optional>

// How loud a song is, and where that was learnt. Levels are in LUFS
// (integrated loudness) and dBFS (sample peak).
struct SongLoudness {
    enum class Source {
        ReplayGain,  // the file's own ReplayGain track gain
        Cache,       // measured earlier and kept in the per-user cache
        Measured,    // measured over the whole song just now
        Partial,     // measured over the song's start only: refined as it plays
    };

    double lufs = 0.0;
    // Highest sample; no value when not known (a ReplayGain tag without peak).
    std::optional<double> peakDb;
    Source source = Source::Measured;
    // Where its sound starts and ends; no value when not known (a tag, a
    // measurement of the start only, or a cache line of an earlier version).
    std::optional<SoundSpan> span;
};

namespace loudness {
// Every song and the voice are brought to this integrated loudness.
constexpr double kTargetLufs = -16.0;
// And no true peak goes above this.
constexpr double kCeilingDbtp = -1.0;
// ReplayGain 2 gains bring a song to -18 LUFS.
constexpr double kReplayGainReferenceLufs = -18.0;
// Gains beyond these are a measuring fault or a nearly silent file; the
// limits keep noise floors from being blown up.
constexpr double kMinGainDb = -30.0;
constexpr double kMaxGainDb = 30.0;

inline double toLinear(double db)
{
    return std::pow(10.0, db / 20.0);
}

inline double toDb(double linear)
{
    return linear > 0.0 ? 20.0 * std::log10(linear) : -200.0;
}

// Sample peaks may sit this much under the true peak between them.
constexpr double kPeakMarginDb = 1.0;

// The gain that brings a song of `lufs` to the target.
inline double gainDbFor(double lufs)
{
    const double gain = kTargetLufs - lufs;
    return gain < kMinGainDb ? kMinGainDb : (gain > kMaxGainDb ? kMaxGainDb : gain);
}

// Where sound is kept from clipping: one policy, three places, each doing
// what only it can.
//  - A decoder that renders in floating point (MIDI) hands on 16-bit samples
//    that are never clipped: a PeakLimiter turns dense passages down to full
//    scale. Otherwise songs leave their decoder as they were made.
//  - Evening a song or the voice (GainStage) keeps every true peak at or
//    below kCeilingDbtp whenever it raises the level: the TruePeakLimiter
//    then always runs, whatever a tag or the cache says the peak is (a
//    stored peak may save work, never safety). At or below unity nothing
//    comes out louder than its file, and a known peak that leaves room lets
//    the limiter rest.
//  - The mixer's sum of music and voice, each within its ceiling, can still
//    pass full scale: its guard turns the sum down instead of clipping it.
//    Music alone passes the mixer untouched.
inline bool needsLimiter(double gainDb, std::optional<double> peakDb)
{
    return gainDb > 0.0 || !peakDb || *peakDb + gainDb > kCeilingDbtp - kPeakMarginDb;
}

// A loudness someone else stored (a ReplayGain tag, a cache line) is used
// only when the gain it asks for is one a measurement can give, within
// [kMinGainDb, kMaxGainDb] (-30 to +30 dB; a ReplayGain track gain of -32 to
// +28 dB); beyond that the tag or the line is wrong and the song is measured.
inline bool plausible(const SongLoudness& stored)
{
    const double gain = kTargetLufs - stored.lufs;
    return std::isfinite(gain) && gain >= kMinGainDb && gain <= kMaxGainDb;
}
}  // namespace loudness
