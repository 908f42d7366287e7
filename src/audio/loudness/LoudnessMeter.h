// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

// EBU R128 integrated loudness and sample peak of 16-bit interleaved PCM,
// through libebur128. A mono signal is measured as heard from two speakers.
// Used by one thread at a time.
class LoudnessMeter {
public:
    LoudnessMeter(int rate, int channels);
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    bool valid() const;
    void add(const std::int16_t* samples, std::size_t frames);
    // Frames added so far.
    std::uint64_t frames() const { return frames_; }
    int rate() const { return rate_; }
    int channels() const { return channels_; }
    // No value until at least one 400 ms block is above the absolute gate
    // (silence has no loudness).
    std::optional<double> integratedLufs() const;
    // Loudness of the last 400 ms; no value before any was added.
    std::optional<double> momentaryLufs() const;
    // Highest sample so far in dBFS (full scale of 16 bits = 0 dB).
    double samplePeakDb() const;
    // Starts over.
    void reset();

private:
    struct State;
    void create();

    int rate_;
    int channels_;
    std::unique_ptr<State> state_;
    std::uint64_t frames_ = 0;
};
