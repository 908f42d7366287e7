#include "tags/SongInfoReader.h"

#include "base/TrimSpaces.h"
#include "files/RegularFile.h"
#include "tags/DescriptorStream.h"
#include "tags/Id3v1Tag.h"

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/infotag.h>
#include <taglib/tag.h>
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

}  // namespace

std::optional<SongInfo> SongInfoReader::read(const QString& path)
{
    const RegularFile file(path, RegularFile::Access::Read);
    if (!file.isOpen()) {
        return std::nullopt;
    }
    SongInfo info;
    QByteArray tail(Id3v1Tag::kSize, '\0');
    if (file.size() >= Id3v1Tag::kSize &&
        file.readAt(file.size() - Id3v1Tag::kSize, tail.data(), Id3v1Tag::kSize) ==
            Id3v1Tag::kSize) {
        readId3v1(tail, info);
    }
    readOtherTags(file, path, info);
    return info;
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

void SongInfoReader::readOtherTags(const RegularFile& file, const QString& path, SongInfo& info)
{
    DescriptorStream stream(file, QFile::encodeName(path));
    const TagLib::FileRef ref(&stream, true, TagLib::AudioProperties::Average);
    if (ref.isNull()) {
        return;
    }
    if (const TagLib::Tag* tag = ref.tag()) {
        fillEmptyFields(info, *tag);
    }
    // A WAV file's tag() is its ID3 chunk alone; the INFO chunk comes after.
    if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(ref.file()); wav && wav->hasInfoTag()) {
        fillEmptyFields(info, *wav->InfoTag());
    }
    if (const TagLib::AudioProperties* properties = ref.audioProperties()) {
        info.lengthMs = std::max(0, properties->lengthInMilliseconds());
    }
}
