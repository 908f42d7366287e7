// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// The song the radio last started, as the desktop shows it.
struct TrackInfo {
    // Counts song starts, so a song played again is a new track.
    std::uint64_t serial = 0;
    QString path;
    // From the song's tags, the fuller text of the ID3v1 tag and the others;
    // the file name until they are read, and when they give no title.
    QString title;
    QStringList artists;
    QString album;
    // 0 when the tags give none.
    int trackNumber = 0;
    // The player's length; the tags' when the player could not tell; else 0.
    std::int64_t lengthMs = 0;

    bool operator==(const TrackInfo&) const = default;
};
