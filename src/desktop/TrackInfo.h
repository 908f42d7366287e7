#pragma once

#include <QString>
#include <cstdint>

// The song the radio last started, as the desktop shows it.
struct TrackInfo {
    // Counts song starts, so a song played again is a new track.
    std::uint64_t serial = 0;
    QString path;
    // From the ID3v1 tag; the file name when the tag has no title.
    QString title;
    QString artist;
    QString album;
    // 0 when the player could not tell.
    std::int64_t lengthMs = 0;

    bool operator==(const TrackInfo&) const = default;
};
