// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>

// The 128-byte ID3v1 tag at the end of a song file:
//   0 "TAG", 3 title (30), 33 artist (30), 63 album (30), 93 year (4),
//   97 comment (30), 127 genre byte.
// Text fields hold one ISO-8859-1 byte per character.
class Id3v1Tag {
public:
    static constexpr int kSize = 128;
    static constexpr int kTitleOffset = 3;
    static constexpr int kArtistOffset = 33;
    static constexpr int kAlbumOffset = 63;
    static constexpr int kYearOffset = 93;
    static constexpr int kCommentOffset = 97;
    static constexpr int kGenreOffset = 127;
    static constexpr int kTextWidth = 30;
    static constexpr int kYearWidth = 4;
    // Written when the comment is left empty; exactly one field wide.
    static constexpr const char* kDefaultComment = "Created with Tolvar MP3 v1.0  ";
    static constexpr std::uint8_t kNoGenre = 255;

    QString title;
    QString artist;
    QString album;
    QString year;
    QString comment;
    std::uint8_t genre = kNoGenre;

    // True when the bytes are exactly one tag long and start with "TAG"
    // (upper case only).
    static bool isTag(QByteArrayView bytes);

    // The fields of a tag as the editor reads them: leading and trailing
    // spaces removed, NUL padding kept. No value when the bytes are no tag.
    static std::optional<Id3v1Tag> fromBytes(QByteArrayView bytes);

    // The title as the radio announces it: leading and trailing spaces
    // removed, then cut before the first NUL. No value when no tag.
    static std::optional<QString> songTitle(QByteArrayView bytes);

    // The genre byte for a genre list position; no selection (or any
    // position that is no genre) stores 255, which reads back as no genre.
    static std::uint8_t genreByte(int listPosition);

    // The 128 bytes to store: texts left-aligned and padded with spaces, cut
    // to their field's width; an empty comment becomes kDefaultComment. No
    // value when a stored character lies outside ISO-8859-1.
    std::optional<QByteArray> toBytes() const;

    // The text up to its first NUL.
    static QString beforeNul(const QString& text);

    bool operator==(const Id3v1Tag&) const = default;
};
