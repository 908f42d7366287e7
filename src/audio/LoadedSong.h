// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AlbumPlace.h"
#include "audio/SongId.h"
#include "audio/decode/Decoder.h"
#include "audio/loudness/LoudnessCache.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

// A song as the loader hands it to the decode thread: opened, its length
// known and its loudness learnt (or a failure).
struct LoadedSong {
    SongId id;
    int slot = 0;
    QString path;
    std::unique_ptr<Decoder> decoder;  // null when the song cannot be played
    QString error;
    // No value: play it as it is (loudness evening is off, or it is silent).
    std::optional<SongLoudness> loudness;
    // Frames of the song's start that `loudness` covers when it is Partial.
    std::int64_t measuredFrames = 0;
    std::optional<LoudnessCache::Key> cacheKey;
    AlbumPlace album;
};
