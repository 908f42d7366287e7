// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/decode/Decoder.h"
#include "audio/decode/MidiFile.h"
#include "audio/loudness/PeakLimiter.h"
#include "files/RegularFile.h"

#include <QString>
#include <memory>
#include <vector>

class MidiSynth;
struct _fluid_player_t;

// .mid files rendered offline by FluidSynth with a General MIDI sound font,
// without an audio driver. The synthesizer is shared between songs and built
// on the first read or seek, on the decode thread.
class MidiDecoder : public Decoder {
public:
    // Null with `error` set when the file is not a sound MIDI file or the
    // sound font is missing.
    static std::unique_ptr<MidiDecoder> open(const RegularFile& file,
                                             std::shared_ptr<MidiSynth> synth, QString& error);
    ~MidiDecoder() override;
    MidiDecoder(const MidiDecoder&) = delete;
    MidiDecoder& operator=(const MidiDecoder&) = delete;

    int sampleRate() const override;
    int channels() const override { return 2; }
    std::int64_t length() const override { return length_; }
    bool seek(std::int64_t frame) override;
    std::size_t read(std::int16_t* out, std::size_t frames) override;

private:
    MidiDecoder(MidiFile file, std::shared_ptr<MidiSynth> synth);
    bool ensurePlayer();
    bool startPlayerAt(std::int64_t frame);
    void dropPlayer();

    MidiFile file_;
    std::shared_ptr<MidiSynth> synth_;
    std::int64_t length_ = 0;
    std::int64_t position_ = 0;
    bool broken_ = false;
    _fluid_player_t* player_ = nullptr;
    std::vector<float> rendered_;
    PeakLimiter limiter_;
};
