// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// A word as a synthesizer reaches it: where its sound starts, in frames from
// the start of the current synthesize call, and the word as read.
struct SynthWord {
    std::int64_t frame = 0;
    QString word;
};

// Receives a synthesizer's output during one synthesize call, on the thread
// that made the call.
class SynthSink {
public:
    virtual ~SynthSink() = default;
    // A block of mono 16-bit samples (possibly none) and the words that start
    // in it, in order. Returns false to abort the text.
    virtual bool onSynthBlock(const short* samples, std::size_t count,
                              const std::vector<SynthWord>& words) = 0;
};
