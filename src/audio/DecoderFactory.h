#pragma once

#include "audio/Decoder.h"

#include <QString>
#include <memory>

// Picks the decoder for a file by its extension (and, for unknown
// extensions, by its first bytes) and opens it. Any thread.
class DecoderFactory {
public:
    explicit DecoderFactory(QString soundFont);

    // The General MIDI sound font of the system.
    static QString defaultSoundFont();

    // Null with `error` saying what is wrong when the file cannot be played.
    std::unique_ptr<Decoder> open(const QString& path, QString& error) const;

private:
    enum class Kind { Mpeg, Sndfile, Midi };
    static Kind kindOf(const QString& path);

    QString soundFont_;
};
