#pragma once

#include "speech/EspeakLibrary.h"
#include "speech/SpokenWord.h"

#include <QString>
#include <atomic>
#include <cstdint>

class VoiceOutput;

// The synthesizer's output for one text on its way to the voice output: the
// samples go out block by block, silence is put between words where the
// speed or the word gap asks for it, words are reported, and the text is
// abandoned as soon as it is cancelled. Lives on the synthesis thread.
class TextSynthesis : public SynthSink {
public:
    struct Params {
        std::uint64_t textNumber = 0;
        // Texts numbered up to this value are cancelled.
        const std::atomic<std::uint64_t>* cancelledThrough = nullptr;
        int sampleRate = 22050;
        // Silence put before every word but the first.
        std::size_t pauseFrames = 0;
        // The text as handed to the synthesizer, to name the words.
        QString text;
        WordListener listener;
    };

    TextSynthesis(VoiceOutput& output, Params params);

    bool onSynthBlock(const short* samples, int count, const espeak_EVENT* events) override;

    bool cancelled() const { return params_.textNumber <= params_.cancelledThrough->load(); }

private:
    bool push(const short* samples, std::size_t count);
    bool pushSilence(std::size_t frames);
    std::size_t quietCut(const short* samples, std::size_t from, std::size_t at,
                         std::size_t end) const;
    void reportWord(int position, int length) const;

    VoiceOutput& output_;
    Params params_;
    std::u32string letters_;
    std::uint64_t synthFrames_ = 0;
    bool firstWord_ = true;
};
