// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/decode/DecoderFactory.h"

#include "audio/PcmConverter.h"
#include "audio/decode/MidiDecoder.h"
#include "audio/decode/MidiSynth.h"
#include "audio/decode/MpegSync.h"
#include "audio/decode/Mpg123Decoder.h"
#include "audio/decode/SndfileDecoder.h"
#include "files/RegularFile.h"

#include <QByteArray>
#include <QFileInfo>
#include <QStringList>
#include <cstdint>
#include <limits>

namespace {
// Enough for the container marks and two MPEG frames in a row.
constexpr std::size_t kHeadBytes = 4096;
// The longest song taken: 2^31 ms, 24.8 days (the player's frame numbers
// stop counting at 13.5 hours, player_frame).
constexpr std::int64_t kMaxMilliseconds = std::numeric_limits<std::int32_t>::max();

bool isSoundContainer(QByteArrayView head)
{
    const QByteArrayView mark = head.first(std::min<qsizetype>(4, head.size()));
    if (mark == "RIFF" || mark == "RIFX" || mark == "RF64") {
        return head.size() >= 12 && head.sliced(8, 4) == "WAVE";
    }
    return mark == "FORM" || mark == "fLaC" || mark == "OggS" || mark == ".snd";
}
}  // namespace

DecoderFactory::DecoderFactory(QString soundFont)
    : synth_(std::make_shared<MidiSynth>(std::move(soundFont)))
{
}

DecoderFactory::~DecoderFactory() = default;

QString DecoderFactory::defaultSoundFont()
{
    const QStringList candidates{QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2"),
                                 QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"),
                                 QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2")};
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isReadable()) {
            return candidate;
        }
    }
    return candidates.front();
}

DecoderFactory::Kind DecoderFactory::kindOf(QByteArrayView head, const QString& path)
{
    if (head.startsWith("MThd")) {
        return Kind::Midi;
    }
    if (isSoundContainer(head)) {
        return Kind::Sndfile;
    }
    if (head.startsWith("ID3") || MpegSync::framesAt(head, 0)) {
        return Kind::Mpeg;
    }
    // The content says nothing sure (MPEG audio may follow junk): the name
    // decides.
    const QString suffix = QFileInfo(path).suffix().toLower();
    static const QStringList midi{QStringLiteral("mid"), QStringLiteral("midi"),
                                  QStringLiteral("kar"), QStringLiteral("rmi")};
    static const QStringList pcm{
        QStringLiteral("wav"),  QStringLiteral("wave"), QStringLiteral("aif"),
        QStringLiteral("aiff"), QStringLiteral("au"),   QStringLiteral("snd"),
        QStringLiteral("flac"), QStringLiteral("ogg"),  QStringLiteral("oga")};
    if (midi.contains(suffix)) {
        return Kind::Midi;
    }
    if (pcm.contains(suffix)) {
        return Kind::Sndfile;
    }
    return Kind::Mpeg;
}

QString DecoderFactory::checkFormat(const Decoder& decoder)
{
    const int rate = decoder.sampleRate();
    const int channels = decoder.channels();
    if (!PcmConverter::accepts(rate, channels)) {
        return QStringLiteral("Unsupported sound format: %1 channels at %2 Hz")
            .arg(channels)
            .arg(rate);
    }
    // length * 1000 / rate <= kMaxMilliseconds, without overflow.
    if (decoder.length() > kMaxMilliseconds / 1000 * rate) {
        return QStringLiteral("The song is too long");
    }
    return {};
}

std::unique_ptr<Decoder> DecoderFactory::open(const QString& path, QString& error) const
{
    if (path.isEmpty()) {
        error = QStringLiteral("No file name given");
        return nullptr;
    }
    RegularFile file(path, RegularFile::Access::Read);
    switch (file.status()) {
        case RegularFile::Status::Open:
            break;
        case RegularFile::Status::Missing:
            error = QStringLiteral("File not found: %1").arg(path);
            return nullptr;
        case RegularFile::Status::Folder:
            error = QStringLiteral("This is a folder, not a song: %1").arg(path);
            return nullptr;
        case RegularFile::Status::NotRegular:
            error = QStringLiteral("Not a regular file, not a song: %1").arg(path);
            return nullptr;
        case RegularFile::Status::Failed:
            error =
                QStringLiteral("The file cannot be read (%1): %2").arg(file.errorString(), path);
            return nullptr;
    }
    if (file.size() == 0) {
        error = QStringLiteral("The file is empty: %1").arg(path);
        return nullptr;
    }
    QByteArray head(kHeadBytes, '\0');
    const std::int64_t got = file.readAt(0, head.data(), kHeadBytes);
    if (got <= 0) {
        error = QStringLiteral("The file cannot be read: %1").arg(path);
        return nullptr;
    }
    head.truncate(static_cast<qsizetype>(got));

    QString why;
    std::unique_ptr<Decoder> decoder;
    switch (kindOf(head, path)) {
        case Kind::Mpeg:
            decoder = Mpg123Decoder::open(std::move(file), why);
            break;
        case Kind::Sndfile:
            decoder = SndfileDecoder::open(std::move(file), why);
            break;
        case Kind::Midi:
            decoder = MidiDecoder::open(file, synth_, why);
            break;
    }
    if (decoder) {
        why = checkFormat(*decoder);
        if (!why.isEmpty()) {
            decoder.reset();
        }
    }
    if (!decoder) {
        error = QStringLiteral("%1: %2").arg(why, path);
    }
    return decoder;
}
