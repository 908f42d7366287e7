// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/SongInfo.h"

#include <QByteArrayView>
#include <QString>
#include <optional>

class RegularFile;

// Reads a song file's title, artist, album, track number and length for the
// announcer and the desktop. The ID3v1 tag comes first, read by the radio's
// own rules; whatever it leaves empty comes from the file's other tags
// through TagLib (ID3v2.2 to 2.4, APE, the INFO and ID3 chunks of WAV
// files, and the other kinds TagLib knows). For the desktop, the fuller text
// of the two counts instead. Opens regular files only. Any thread: a pure
// function of the file, meant for a worker thread.
class SongInfoReader {
public:
    // No value when the path is no regular file or cannot be opened.
    static std::optional<SongInfo> read(const QString& path);

private:
    static void readId3v1(QByteArrayView tag, SongInfo& info);
    // What the other tags say, their artists in shownArtists; the length.
    static SongInfo readOtherTags(const RegularFile& file, const QString& path);
    // The other tags' texts where the ID3v1 tag leaves a field empty, and
    // the shown texts of both.
    static void merge(const SongInfo& other, SongInfo& info);
};
