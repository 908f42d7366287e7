#pragma once

#include <QString>
#include <cstdint>

// The song the radio last started, as the desktop shows it.
struct TrackInfo {
    // Counts song starts, so a song played again is a new track.
    std::uint64_t serial = 0;
    QString path;
    // From the song's tags (ID3v1 first, then the others); the file name
    // until they are read, and when they give no title.
    QString title;
    QString artist;
    QString album;
    // 0 when the tags give none.
    int trackNumber = 0;
    // The player's length; the tags' when the player could not tell; else 0.
    std::int64_t lengthMs = 0;

    bool operator==(const TrackInfo&) const = default;
};
