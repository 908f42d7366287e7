// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/TagReader.h"

#include "files/RegularFile.h"

std::optional<TagReader::Tail> TagReader::readTail(const QString& path)
{
    const RegularFile file(path, RegularFile::Access::Read);
    const qint64 length = file.size();
    if (!file.isOpen() || length < Id3v1Tag::kSize) {
        return std::nullopt;
    }
    QByteArray bytes(Id3v1Tag::kSize, '\0');
    if (file.readAt(length - Id3v1Tag::kSize, bytes.data(), Id3v1Tag::kSize) != Id3v1Tag::kSize) {
        return std::nullopt;
    }
    return Tail{length, std::move(bytes)};
}

std::optional<TagEditState> TagReader::GetTags(const QString& path)
{
    const std::optional<Tail> tail = readTail(path);
    if (!tail) {
        return std::nullopt;
    }
    return interpret(path, tail->length, tail->bytes);
}

std::optional<TagEditState> TagReader::interpret(const QString& path, qint64 length,
                                                 QByteArrayView tail)
{
    if (length < Id3v1Tag::kSize || tail.size() != Id3v1Tag::kSize) {
        return std::nullopt;
    }
    TagEditState state;
    state.path = path;
    state.length = length;
    state.tail = tail.toByteArray();
    if (const std::optional<Id3v1Tag> tag = Id3v1Tag::fromBytes(tail)) {
        state.hasTag = true;
        state.title = tag->title;
        state.artist = tag->artist;
        state.album = tag->album;
        state.year = tag->year;
        state.comment = tag->comment;
        state.genre = tag->genre;
    } else {
        state.title = path;
    }
    return state;
}

std::optional<QString> TagReader::songTitle(const QString& path)
{
    const std::optional<Tail> tail = readTail(path);
    if (!tail) {
        return std::nullopt;
    }
    return Id3v1Tag::songTitle(tail->bytes);
}
