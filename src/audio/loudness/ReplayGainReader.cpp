// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loudness/ReplayGainReader.h"

#include "files/RegularFile.h"
#include "tags/DescriptorStream.h"

#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/fileref.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>
#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <cmath>

namespace {

const TagLib::String kTrackGain("REPLAYGAIN_TRACK_GAIN");
const TagLib::String kTrackPeak("REPLAYGAIN_TRACK_PEAK");

// MPEG files may carry ID3v2 and APE tags at once; TagLib's merged view
// shows only the first, so each is looked at.
TagLib::PropertyMap replayGainTags(TagLib::File* file)
{
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file)) {
        if (mpeg->hasID3v2Tag() && mpeg->ID3v2Tag()->properties().contains(kTrackGain)) {
            return mpeg->ID3v2Tag()->properties();
        }
        if (mpeg->hasAPETag()) {
            return mpeg->APETag()->properties();
        }
        return {};
    }
    if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(file)) {
        return wav->hasID3v2Tag() ? wav->ID3v2Tag()->properties() : wav->properties();
    }
    return file->properties();
}

std::optional<double> first(const TagLib::PropertyMap& tags, const TagLib::String& key,
                            std::optional<double> (*parse)(const QString&))
{
    const auto it = tags.find(key);
    if (it == tags.end() || it->second.isEmpty()) {
        return std::nullopt;
    }
    return parse(QString::fromStdString(it->second.front().to8Bit(true)));
}

std::optional<double> parsePeak(const QString& text)
{
    bool ok = false;
    const double peak = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(peak) || peak <= 0.0 || peak > 64.0) {
        return std::nullopt;
    }
    return loudness::toDb(peak);
}

}  // namespace

std::optional<double> ReplayGainReader::parseGain(const QString& text)
{
    static const QRegularExpression gain(
        QStringLiteral("^\\s*([-+]?\\d+(\\.\\d*)?|[-+]?\\.\\d+)\\s*(dB)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = gain.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const double value = match.captured(1).toDouble();
    if (!std::isfinite(value) || std::abs(value) > 60.0) {
        return std::nullopt;
    }
    return value;
}

std::optional<SongLoudness> ReplayGainReader::read(const QString& path)
{
    const RegularFile file(path, RegularFile::Access::Read);
    if (!file.isOpen()) {
        return std::nullopt;
    }
    DescriptorStream stream(file, QFile::encodeName(path));
    const TagLib::FileRef ref(&stream, false);
    if (ref.isNull() || ref.file() == nullptr || !ref.file()->isValid()) {
        return std::nullopt;
    }
    const TagLib::PropertyMap tags = replayGainTags(ref.file());
    const std::optional<double> gain = first(tags, kTrackGain, &ReplayGainReader::parseGain);
    if (!gain) {
        return std::nullopt;
    }
    SongLoudness loudness;
    loudness.source = SongLoudness::Source::ReplayGain;
    loudness.lufs = loudness::kReplayGainReferenceLufs - *gain;
    loudness.peakDb = first(tags, kTrackPeak, &parsePeak);
    return loudness;
}
