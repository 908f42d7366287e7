// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/loudness/Loudness.h"

#include <QString>
#include <optional>

// The ReplayGain track gain (and peak) of a song file, from its ID3v2, APE,
// Xiph or WAV tags through TagLib. Only regular files are read. Any thread;
// meant for the loader thread (it reads the file).
class ReplayGainReader {
public:
    // No value when the file has no track gain or cannot be read.
    static std::optional<SongLoudness> read(const QString& path);
    // "-6.54 dB" -> -6.54; no value for anything that is not a gain.
    static std::optional<double> parseGain(const QString& text);
};
