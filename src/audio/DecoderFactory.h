#pragma once

#include "audio/Decoder.h"

#include <QString>
#include <memory>

class MidiSynth;

// Picks the decoder for a file by its extension (and, for unknown
// extensions, by its first bytes) and opens it. Any thread.
class DecoderFactory {
public:
    explicit DecoderFactory(QString soundFont);
    ~DecoderFactory();
    DecoderFactory(const DecoderFactory&) = delete;
    DecoderFactory& operator=(const DecoderFactory&) = delete;

    // The General MIDI sound font of the system.
    static QString defaultSoundFont();

    // Null with `error` saying what is wrong when the file cannot be played.
    std::unique_ptr<Decoder> open(const QString& path, QString& error) const;

private:
    enum class Kind { Mpeg, Sndfile, Midi };
    static Kind kindOf(const QString& path);

    std::shared_ptr<MidiSynth> synth_;
};
