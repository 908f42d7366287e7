// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpokenWord.h"
#include "speech/SynthSink.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <vector>

class VoiceOutput;

// A synthesizer's output for one text on its way to the voice output: the
// samples go out block by block, silence is put between words where the
// speed or the word gap asks for it, the volume is applied where the
// synthesizer has none of its own, words are reported, and the text is
// abandoned as soon as it is cancelled. A text may be synthesized in several
// calls (one a sentence); each starts with beginCall(). Lives on the
// synthesis thread.
class TextSynthesis : public SynthSink {
public:
    struct Params {
        std::uint64_t textNumber = 0;
        // Texts numbered up to this value are cancelled.
        const std::atomic<std::uint64_t>* cancelledThrough = nullptr;
        int sampleRate = 22050;
        // Silence put before every word but the first.
        std::size_t pauseFrames = 0;
        // Samples are scaled by this; 1 leaves them alone.
        double gain = 1.0;
        WordListener listener;
    };

    TextSynthesis(VoiceOutput& output, Params params);

    // Word frames count from here on.
    void beginCall() { callFrames_ = 0; }
    bool onSynthBlock(const short* samples, std::size_t count,
                      const std::vector<SynthWord>& words) override;

    bool cancelled() const { return params_.textNumber <= params_.cancelledThrough->load(); }
    // Frames pushed so far, added silence included.
    std::uint64_t framesPushed() const { return pushed_; }

private:
    bool push(const short* samples, std::size_t count);
    bool pushSilence(std::size_t frames);
    std::size_t quietCut(const short* samples, std::size_t from, std::size_t at,
                         std::size_t end) const;

    VoiceOutput& output_;
    Params params_;
    std::vector<short> scaled_;
    std::int64_t callFrames_ = 0;
    std::uint64_t pushed_ = 0;
    bool firstWord_ = true;
};
