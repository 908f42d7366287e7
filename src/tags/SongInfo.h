#pragma once

#include <QString>
#include <cstdint>

// What the radio says and shows about a song, read from its tags. Every
// field is empty (or 0) where no tag gives it.
struct SongInfo {
    // The title the announcer names after the song.
    QString title;
    QString artist;
    QString album;
    int trackNumber = 0;
    // As the file's headers tell it.
    std::int64_t lengthMs = 0;

    bool operator==(const SongInfo&) const = default;
};
