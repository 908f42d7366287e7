// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// What a URI handed in by the desktop points at.
class MediaUri {
public:
    enum class Kind { Playlist, Song, Unsupported };

    static MediaUri classify(const QUrl& uri);

    // The kinds of file the playlist window lists, its playlists and other
    // players' (.m3u, .m3u8, .pls), as MIME types (the .pyl type is the
    // program's own, installed with it).
    static QStringList supportedMimeTypes();

    Kind kind() const { return kind_; }
    // The local file, for a playlist or a song.
    const QString& path() const { return path_; }

private:
    MediaUri(Kind kind, QString path) : kind_(kind), path_(std::move(path)) {}

    Kind kind_;
    QString path_;
};
