// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/decode/Decoder.h"

#include <QByteArrayView>
#include <QString>
#include <memory>

class MidiSynth;

// Opens a song file with the decoder its content calls for (RIFF/WAVE and
// the other sound containers, MThd, an ID3v2 tag or MPEG frames); the
// extension only decides when the content says nothing. Only regular files
// are opened, and only formats the output can convert. Any thread.
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
    static Kind kindOf(QByteArrayView head, const QString& path);
    static QString checkFormat(const Decoder& decoder);

    std::shared_ptr<MidiSynth> synth_;
};
