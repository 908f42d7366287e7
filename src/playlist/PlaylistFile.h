// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playlist/PlaylistEntry.h"

#include <QByteArrayView>
#include <QDir>
#include <QString>
#include <optional>
#include <vector>

// The playlist files the radio opens beside its own .pyl: the .m3u, .m3u8
// and .pls that other players write. Any thread.
class PlaylistFile {
public:
    enum class Format { Pyl, M3u, M3u8, Pls };

    // A playlist of that many long paths stays well below this.
    static constexpr qint64 kMaxBytes = 16 * 1024 * 1024;

    // By the file name's suffix, in any case; no value for other files.
    static std::optional<Format> formatOf(const QString& fileName);

    // The entries of the whole file's bytes, in play order.
    static std::vector<PlaylistEntry> entries(Format format, QByteArrayView bytes);

    // The entries of the file, read as a user's file is read (a regular
    // file only, at most kMaxBytes); no value when it cannot be read.
    static std::optional<std::vector<PlaylistEntry>> read(const QString& path, Format format);

    // The local file an entry names: a path as written, taken from `folder`
    // when it is relative, or a file: URL of this machine. No value for a
    // URL of anything else (a stream, another host).
    static std::optional<QString> localPath(const QString& text, const QDir& folder);
};
