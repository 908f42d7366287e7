#pragma once

#include "audio/GainStage.h"
#include "audio/LoudnessMeter.h"

#include <cstddef>
#include <cstdint>

// Brings the announcer's voice to the loudness of the music. The voice is
// measured as it goes out; each utterance (voice that starts after the
// output had fallen silent) gets the gain that the voice measured so far
// needs, and keeps it to its end, so nothing pumps within a sentence. The
// first utterance starts from what a synthesizer voice usually measures.
// Used by the holder of the voice lock.
class VoiceLeveller {
public:
    // A typical synthesizer voice at its default volume.
    static constexpr double kUsualVoiceLufs = -19.0;

    explicit VoiceLeveller(bool enabled);

    bool enabled() const { return enabled_; }
    void beginUtterance();
    // Output-format stereo; writes at most `frames` frames, returns how many.
    std::size_t process(const std::int16_t* in, std::size_t frames, std::int16_t* out);
    // Lets the frames held for peak control out (room for latency()).
    std::size_t finish(std::int16_t* out);
    // Drops what is held (the voice was cut off).
    void drop();
    bool holding() const { return held_ > 0; }
    std::size_t latency() const { return stage_.latency(); }
    double gainDb() const { return stage_.gainDb(); }

private:
    bool enabled_;
    LoudnessMeter meter_;
    GainStage stage_;
    double estimateLufs_ = kUsualVoiceLufs;
    std::size_t held_ = 0;
};
