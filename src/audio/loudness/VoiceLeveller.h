// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/loudness/GainStage.h"
#include "audio/loudness/LoudnessMeter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Brings the announcer's voice to the loudness of the music. Each utterance
// (voice that starts after the output had fallen silent) gets the gain that
// the voice heard so far (about the last minute of it) needs, and keeps it to
// its end, so nothing pumps within a sentence. Synthesizer voices differ by
// several dB: the first utterance of a voice is held back until three
// quarters of a second of it after the lead-in are measured (the synthesizer
// makes that in a few milliseconds), and that sets its gain. Output-format
// stereo. Used by the holder of the voice lock.
class VoiceLeveller {
public:
    // A synthesizer voice at its default volume, before any was measured.
    static constexpr double kUsualVoiceLufs = -16.0;

    explicit VoiceLeveller(bool enabled);

    // Another synthesizer (the input format changed): its loudness is learnt anew.
    void newVoice();
    // The listener's volume (100 as made), already in the pushed voice: the
    // voice is levelled to that far from the music's loudness. A change is
    // learnt anew, as another voice would be.
    void setVolume(int percent);
    void beginUtterance();
    void put(const std::int16_t* in, std::size_t frames);
    // The input stops here for now: what is held comes out.
    void finish();
    // Moves up to `max` levelled frames to `out`; returns how many.
    std::size_t take(std::int16_t* out, std::size_t max);
    // Frames taken in and not yet taken out.
    std::size_t pending() const;
    // Drops everything (the voice was cut off).
    void drop();
    double gainDb() const { return stage_.gainDb(); }

private:
    void release();
    void level(const std::int16_t* in, std::size_t frames);

    bool enabled_;
    LoudnessMeter heard_;      // the last minute or so of voice
    LoudnessMeter utterance_;  // the start of this utterance
    GainStage stage_;
    double estimateLufs_ = kUsualVoiceLufs;
    double volumeDb_ = 0.0;
    bool estimated_ = false;  // estimateLufs_ comes from this voice
    bool holding_ = false;
    bool inLeadIn_ = false;            // no word of this utterance measured yet
    std::vector<std::int16_t> held_;   // unlevelled, while the start is measured
    std::vector<std::int16_t> ready_;  // levelled, to be taken
    std::size_t readyTaken_ = 0;       // samples of ready_ already taken
    std::size_t inStage_ = 0;          // frames the limiter holds back
};
