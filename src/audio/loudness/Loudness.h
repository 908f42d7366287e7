#pragma once

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

// The gain that brings a song of `lufs` to the target.
inline double gainDbFor(double lufs)
{
    const double gain = kTargetLufs - lufs;
    return gain < kMinGainDb ? kMinGainDb : (gain > kMaxGainDb ? kMaxGainDb : gain);
}
}  // namespace loudness
