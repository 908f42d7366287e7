// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/loudness/SoundSpan.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class LoudnessMeter;

// Finds where a song's sound starts and ends while it is measured. PCM goes
// through to the meter in 100 ms steps, so that the momentary loudness after
// each step is known; beside it the highest sample of every 10 ms. Silence
// is what stays far under the song's own loudness for at least half a
// second: a quiet intro that has content is sound. The edge is then placed
// to the 10 ms block where the samples rise above that level. Used by one
// thread at a time, as its meter.
class SoundEnds {
public:
    // Silence is this far under the song's integrated loudness.
    static constexpr double kSilenceUnderLu = 40.0;
    // And lasts at least this long to be left out.
    static constexpr double kHeldSeconds = 0.5;
    // The head and tail loudness cover this much sound.
    static constexpr double kEdgeSeconds = 4.0;

    explicit SoundEnds(LoudnessMeter& meter);

    // Interleaved 16-bit PCM of the meter's rate and channels, in order.
    void add(const std::int16_t* samples, std::size_t frames);
    // The span of sound once the whole song was added; no value for a
    // silent song or a meter that cannot measure.
    std::optional<SoundSpan> find() const;

private:
    void addPeaks(const std::int16_t* samples, std::size_t frames);
    double peakDb(std::size_t block) const;
    std::int64_t headAt(double threshold, std::size_t firstLoud) const;
    std::int64_t tailAt(double threshold, std::size_t lastLoud) const;
    double edgeLu(double songLufs, std::int64_t from, std::int64_t to) const;

    LoudnessMeter& meter_;
    int channels_;
    std::int64_t stepFrames_;
    std::int64_t blockFrames_;
    std::int64_t frames_ = 0;
    std::int64_t inStep_ = 0;
    std::int64_t inBlock_ = 0;
    // Momentary loudness at the end of each 100 ms step (LUFS, very low for
    // silence) and the highest sample magnitude of each 10 ms block.
    std::vector<float> momentary_;
    std::vector<std::uint16_t> peaks_;
    std::uint16_t blockPeak_ = 0;
};
