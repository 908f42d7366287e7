// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A song's place on its album, as its tags tell it. Two songs in a row that
// are one album's tracks in sequence join as they were mastered: without a
// gap, a crossfade or a trim between them.
struct AlbumPlace {
    QString album;
    QString artist;
    int track = 0;

    // `next` is this album's following track.
    bool followedBy(const AlbumPlace& next) const
    {
        return track > 0 && next.track == track + 1 && !album.isEmpty() && !artist.isEmpty() &&
               album == next.album && artist == next.artist;
    }
};
