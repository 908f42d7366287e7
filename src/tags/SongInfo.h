// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// What the radio says and shows about a song, read from its tags. Every
// field is empty (or 0) where no tag gives it.
struct SongInfo {
    // The title the announcer names after the song: the ID3v1 tag's first.
    QString title;
    // The ID3v1 tag's first, as the title.
    QString artist;
    QString album;
    int trackNumber = 0;
    // As the file's headers tell it.
    std::int64_t lengthMs = 0;

    // What the desktop shows: of the ID3v1 tag and the others, the fuller
    // text (an ID3v2 title where the ID3v1 one is its 30-character cut, every
    // artist where ID3v2 names more than one).
    QString shownTitle;
    QStringList shownArtists;
    QString shownAlbum;

    bool operator==(const SongInfo&) const = default;
};
