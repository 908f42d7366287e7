// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/TagEditState.h"

#include <QByteArrayView>
#include <QString>
#include <optional>

// Reads ID3v1 tags from song files. Any thread; files are opened, read and
// closed within each call.
class TagReader {
public:
    // The editor's read: no value when the file cannot be opened or read,
    // is empty or shorter than a tag.
    static std::optional<TagEditState> GetTags(const QString& path);

    // The same from a file's length and its last 128 bytes.
    static std::optional<TagEditState> interpret(const QString& path, qint64 length,
                                                 QByteArrayView tail);

    // The announced title of the file's tag; no value when the file has no
    // tag or cannot be read.
    static std::optional<QString> songTitle(const QString& path);

private:
    struct Tail {
        qint64 length = 0;
        QByteArray bytes;
    };
    // The length and the last 128 bytes; no value for unreadable files and
    // files shorter than a tag.
    static std::optional<Tail> readTail(const QString& path);
};
