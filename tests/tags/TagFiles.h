// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Builds song files with hand-made ID3v1 tags for the tag tests.
namespace tag_files {

// A tag with the given raw field bytes, each padded with `pad` to its width.
struct RawTag {
    QByteArray marker = "TAG";
    QByteArray title;
    QByteArray artist;
    QByteArray album;
    QByteArray year;
    QByteArray comment;
    unsigned char genre = 0;
    char pad = ' ';

    QByteArray bytes() const
    {
        QByteArray out;
        out += marker;
        out += padded(title, 30);
        out += padded(artist, 30);
        out += padded(album, 30);
        out += padded(year, 4);
        out += padded(comment, 30);
        out += static_cast<char>(genre);
        return out;
    }

    QByteArray padded(const QByteArray& field, int width) const
    {
        return field.leftJustified(width, pad, true);
    }
};

// Audio-like bytes that never contain "TAG".
inline QByteArray body(int size)
{
    QByteArray out(size, '\0');
    for (int i = 0; i < size; ++i) {
        out[i] = static_cast<char>(0x80 + (i * 7) % 0x70);
    }
    return out;
}

inline bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size();
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace tag_files
