// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the tag reader and writer. Each input is a whole
// song file. Checks that reading never fails on a file of a tag's length or
// more, that what was read writes back to the same texts, and that writing
// only ever touches the tag bytes.

#include "FuzzSupport.h"
#include "tags/Id3v1Tag.h"
#include "tags/TagReader.h"
#include "tags/TagWriter.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>

namespace {

Id3v1Tag asRead(const TagEditState& state)
{
    Id3v1Tag tag;
    tag.title = state.title;
    tag.artist = state.artist;
    tag.album = state.album;
    tag.year = state.year;
    tag.comment = state.comment;
    tag.genre = Id3v1Tag::genreByte(state.genre);
    return tag;
}

void checkRoundTrip(const TagEditState& state, QByteArrayView tail)
{
    const Id3v1Tag tag = asRead(state);
    const std::optional<QByteArray> bytes = tag.toBytes();
    check(bytes.has_value() && bytes->size() == Id3v1Tag::kSize);
    const std::optional<Id3v1Tag> again = Id3v1Tag::fromBytes(*bytes);
    check(again.has_value());
    check(again->title == tag.title && again->artist == tag.artist && again->album == tag.album &&
          again->year == tag.year);
    check(tag.comment.isEmpty() || again->comment == tag.comment);
    check(Id3v1Tag::songTitle(tail) == Id3v1Tag::beforeNul(state.title));
}

void checkWrite(const TagEditState& state, const QByteArray& file)
{
    QByteArray content = file;
    const TagWriter writer([&content](const QString&) {
        auto buffer = std::make_unique<QBuffer>(&content);
        buffer->open(QIODevice::ReadWrite);
        return std::unique_ptr<QIODevice>(std::move(buffer));
    });
    Id3v1Tag edited = asRead(state);
    edited.title = Id3v1Tag::beforeNul(edited.title);
    const TagWriteResult result = writer.write(state, edited);
    if (!result.ok()) {
        // Only text that is no ISO-8859-1 may fail: an untagged file's path.
        check(!state.hasTag && result.status == TagWriteStatus::NotEncodable);
        check(content == file);
        return;
    }
    const qsizetype kept = state.hasTag ? file.size() - Id3v1Tag::kSize : file.size();
    check(content.size() == kept + Id3v1Tag::kSize);
    check(QByteArrayView(content).first(kept) == QByteArrayView(file).first(kept));
    check(QByteArrayView(content).last(Id3v1Tag::kSize) == *edited.toBytes());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray file = fuzzInput(data, size);
    const QByteArrayView tail = file.size() >= Id3v1Tag::kSize
                                    ? QByteArrayView(file).last(Id3v1Tag::kSize)
                                    : QByteArrayView(file);
    const std::optional<TagEditState> state =
        TagReader::interpret(QStringLiteral("/music/song.mp3"), file.size(), tail);
    if (file.size() < Id3v1Tag::kSize) {
        check(!state.has_value() && !Id3v1Tag::songTitle(tail).has_value());
        return 0;
    }
    check(state.has_value());
    check(state->hasTag == tail.startsWith(QByteArrayView("TAG")));
    if (state->hasTag) {
        checkRoundTrip(*state, tail);
    }
    checkWrite(*state, file);
    return 0;
}
