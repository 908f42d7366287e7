// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/Id3v1Tag.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// What the tag editor read from its file, kept until it writes.
struct TagEditState {
    QString path;
    // The texts as read (spaces trimmed, NUL padding kept); for a file
    // without a tag the title is the file's path and the rest is empty.
    QString title;
    QString artist;
    QString album;
    QString year;
    QString comment;
    // The genre byte (0 to 255), or -1 when the file has no tag.
    std::int16_t genre = -1;
    bool hasTag = false;
    // The file's length and its last 128 bytes when read: the writer only
    // touches a file that still has both.
    qint64 length = 0;
    QByteArray tail;
};
