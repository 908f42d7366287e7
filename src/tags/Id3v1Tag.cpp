// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/Id3v1Tag.h"

#include "base/TrimSpaces.h"

#include "tags/GenreList.h"

namespace {

QString fieldText(QByteArrayView tag, int offset, int width)
{
    return QString::fromLatin1(tag.sliced(offset, width));
}

// Writes the text left-aligned and space-padded into the field; false when a
// character has no ISO-8859-1 byte.
bool putField(QByteArray& tag, int offset, int width, const QString& text)
{
    const QString cut = text.left(width);
    for (qsizetype i = 0; i < cut.size(); ++i) {
        const char16_t unit = cut.at(i).unicode();
        if (unit > 0xFF) {
            return false;
        }
        tag[offset + i] = static_cast<char>(unit);
    }
    return true;
}

}  // namespace

bool Id3v1Tag::isTag(QByteArrayView bytes)
{
    return bytes.size() == kSize && bytes.startsWith(QByteArrayView("TAG"));
}

std::optional<Id3v1Tag> Id3v1Tag::fromBytes(QByteArrayView bytes)
{
    if (!isTag(bytes)) {
        return std::nullopt;
    }
    Id3v1Tag tag;
    tag.comment = trimSpaces(fieldText(bytes, kCommentOffset, kTextWidth));
    tag.year = trimSpaces(fieldText(bytes, kYearOffset, kYearWidth));
    tag.album = trimSpaces(fieldText(bytes, kAlbumOffset, kTextWidth));
    tag.artist = trimSpaces(fieldText(bytes, kArtistOffset, kTextWidth));
    tag.title = trimSpaces(fieldText(bytes, kTitleOffset, kTextWidth));
    tag.genre = static_cast<std::uint8_t>(bytes[kGenreOffset]);
    return tag;
}

std::optional<QString> Id3v1Tag::songTitle(QByteArrayView bytes)
{
    if (!isTag(bytes)) {
        return std::nullopt;
    }
    return beforeNul(trimSpaces(fieldText(bytes, kTitleOffset, kTextWidth)));
}

std::uint8_t Id3v1Tag::genreByte(int listPosition)
{
    if (listPosition < 0 || listPosition >= GenreList::kCount) {
        return kNoGenre;
    }
    return static_cast<std::uint8_t>(listPosition);
}

std::optional<QByteArray> Id3v1Tag::toBytes() const
{
    QByteArray bytes(kSize, ' ');
    bytes.replace(0, 3, "TAG");
    const QString storedComment =
        comment.isEmpty() ? QString::fromLatin1(kDefaultComment) : comment;
    const bool encodable = putField(bytes, kCommentOffset, kTextWidth, storedComment) &&
                           putField(bytes, kYearOffset, kYearWidth, year) &&
                           putField(bytes, kAlbumOffset, kTextWidth, album) &&
                           putField(bytes, kArtistOffset, kTextWidth, artist) &&
                           putField(bytes, kTitleOffset, kTextWidth, title);
    if (!encodable) {
        return std::nullopt;
    }
    bytes[kGenreOffset] = static_cast<char>(genre);
    return bytes;
}

QString Id3v1Tag::beforeNul(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}
