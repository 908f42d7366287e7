#pragma once

#include <cstddef>
#include <cstdint>

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
};
