// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/SongInfoReader.h"

#include "base/TrimSpaces.h"
#include "files/RegularFile.h"
#include "tags/DescriptorStream.h"
#include "tags/Id3v1Tag.h"

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/infotag.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>
#include <QFile>

namespace {

// ID3v1.1 keeps a track number in the comment's last byte, after a zero.
constexpr int kTrackMarkerOffset = Id3v1Tag::kCommentOffset + 28;
constexpr int kTrackOffset = Id3v1Tag::kCommentOffset + 29;

QString fieldText(const QString& field)
{
    return trimSpaces(Id3v1Tag::beforeNul(field));
}

QString fromTagLib(const TagLib::String& text)
{
    return QString::fromStdString(text.to8Bit(true)).trimmed();
}

void fillIfEmpty(QString& field, const TagLib::String& text)
{
    if (field.isEmpty()) {
        field = fromTagLib(text);
    }
}

void fillEmptyFields(SongInfo& info, const TagLib::Tag& tag)
{
    fillIfEmpty(info.title, tag.title());
    fillIfEmpty(info.artist, tag.artist());
    fillIfEmpty(info.album, tag.album());
    if (info.trackNumber == 0) {
        info.trackNumber = static_cast<int>(tag.track());
    }
}

// Every artist the file's first tag names, one each (ID3v2.4 and APE keep
// several in one field).
QStringList artistsOf(const TagLib::File& file)
{
    QStringList artists;
    const TagLib::PropertyMap properties = file.properties();
    const auto named = properties.find(TagLib::String("ARTIST"));
    if (named == properties.end()) {
        return artists;
    }
    for (const TagLib::String& artist : named->second) {
        if (const QString text = fromTagLib(artist); !text.isEmpty()) {
            artists << text;
        }
    }
    return artists;
}

// An ID3v1 field is at most 30 characters: where the other tag's text begins
// with it, the other one is the whole text.
QString fuller(const QString& id3v1, const QString& other)
{
    const bool cut = other.size() > id3v1.size() && other.startsWith(id3v1, Qt::CaseInsensitive);
    return id3v1.isEmpty() || cut ? other : id3v1;
}

QStringList fullerArtists(const QString& id3v1, const QStringList& others)
{
    if (id3v1.isEmpty()) {
        return others;
    }
    const bool named = others.contains(id3v1, Qt::CaseInsensitive);
    const bool cut = others.size() == 1 && fuller(id3v1, others.front()) != id3v1;
    return named || cut ? others : QStringList{id3v1};
}

}  // namespace

std::optional<SongInfo> SongInfoReader::read(const QString& path)
{
    const RegularFile file(path, RegularFile::Access::Read);
    if (!file.isOpen()) {
        return std::nullopt;
    }
    SongInfo info;
    QByteArray tail(Id3v1Tag::kSize, '\0');
    if (file.size() >= Id3v1Tag::kSize && file.readAt(file.size() - Id3v1Tag::kSize, tail.data(),
                                                      Id3v1Tag::kSize) == Id3v1Tag::kSize) {
        readId3v1(tail, info);
    }
    merge(readOtherTags(file, path), info);
    return info;
}

void SongInfoReader::merge(const SongInfo& other, SongInfo& info)
{
    info.shownTitle = fuller(info.title, other.title);
    info.shownArtists = fullerArtists(info.artist, other.shownArtists);
    info.shownAlbum = fuller(info.album, other.album);
    if (info.title.isEmpty()) {
        info.title = other.title;
    }
    if (info.artist.isEmpty()) {
        info.artist = other.artist;
    }
    if (info.album.isEmpty()) {
        info.album = other.album;
    }
    if (info.trackNumber == 0) {
        info.trackNumber = other.trackNumber;
    }
    info.lengthMs = other.lengthMs;
}

void SongInfoReader::readId3v1(QByteArrayView tag, SongInfo& info)
{
    const std::optional<Id3v1Tag> fields = Id3v1Tag::fromBytes(tag);
    if (!fields) {
        return;
    }
    // The announced title keeps the announcer's own rule.
    info.title = Id3v1Tag::songTitle(tag).value_or(QString());
    info.artist = fieldText(fields->artist);
    info.album = fieldText(fields->album);
    if (tag.at(kTrackMarkerOffset) == '\0' && tag.at(kTrackOffset) != '\0') {
        info.trackNumber = static_cast<unsigned char>(tag.at(kTrackOffset));
    }
}

SongInfo SongInfoReader::readOtherTags(const RegularFile& file, const QString& path)
{
    SongInfo other;
    DescriptorStream stream(file, QFile::encodeName(path));
    const TagLib::FileRef ref(&stream, true, TagLib::AudioProperties::Average);
    if (ref.isNull()) {
        return other;
    }
    if (const TagLib::Tag* tag = ref.tag()) {
        fillEmptyFields(other, *tag);
    }
    other.shownArtists = artistsOf(*ref.file());
    // A WAV file's tag() is its ID3 chunk alone; the INFO chunk comes after.
    if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(ref.file()); wav && wav->hasInfoTag()) {
        fillEmptyFields(other, *wav->InfoTag());
    }
    if (other.shownArtists.isEmpty() && !other.artist.isEmpty()) {
        other.shownArtists << other.artist;
    }
    if (const TagLib::AudioProperties* properties = ref.audioProperties()) {
        other.lengthMs = std::max(0, properties->lengthInMilliseconds());
    }
    return other;
}
