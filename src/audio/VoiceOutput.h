// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// The mixer's second input, used by the speech engine. Voice and music share
// one output stream.
class VoiceOutput {
public:
    virtual ~VoiceOutput() = default;

    // Queues interleaved 16-bit PCM of any rate and channel count. Called from
    // one producer thread at a time (the synthesis thread). Waits while about a
    // second or more of voice is already queued; returns false at once when
    // flushVoice() cuts the wait short, true when the PCM was queued.
    virtual bool pushVoice(const std::int16_t* samples, std::size_t frames, int sampleRate,
                           int channels) = 0;
    // Any thread. Drops every voice sample not yet played and wakes a waiting
    // pushVoice(). Returns within a few milliseconds.
    virtual void flushVoice() = 0;
    // Any thread. True when no pushed voice sample is left anywhere between
    // pushVoice() and the output callback.
    virtual bool voiceIdle() const = 0;
    // Any thread. Voice frames (counted at the rate they were pushed) that have
    // left the output callback since the engine started; flushed frames never
    // count.
    virtual std::uint64_t voiceFramesPlayed() const = 0;
    // The producer thread, before the voice it applies to: the listener's
    // volume for the voice in percent (100 as made). The synthesizer has
    // applied it already; an output that levels the voice keeps it as the
    // voice's distance from the music's loudness.
    virtual void setVoiceVolume(int /*percent*/) {}
    // Any thread but the output callback's: `listener` is called each time
    // the voice may have fallen idle (its last sample has left the output, or
    // a flush dropped the rest), so a producer that waits for silence looks
    // at voiceIdle() then instead of polling. It is called on a thread of the
    // output's own, never inside the output callback, may come when nothing
    // changed, and must return at once. One listener at a time; an empty one
    // removes it, and once that call has returned the old one is never
    // called again.
    virtual void setVoiceIdleListener(std::function<void()> listener) = 0;
};
