#include "audio/DecoderFactory.h"

#include "audio/MidiDecoder.h"
#include "audio/MidiSynth.h"
#include "audio/Mpg123Decoder.h"
#include "audio/SndfileDecoder.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

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

DecoderFactory::Kind DecoderFactory::kindOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    static const QStringList mpeg{QStringLiteral("mp3"), QStringLiteral("mp2"),
                                  QStringLiteral("mp1"), QStringLiteral("mpa"),
                                  QStringLiteral("mpga")};
    static const QStringList midi{QStringLiteral("mid"), QStringLiteral("midi"),
                                  QStringLiteral("kar"), QStringLiteral("rmi")};
    static const QStringList pcm{
        QStringLiteral("wav"),  QStringLiteral("wave"), QStringLiteral("aif"),
        QStringLiteral("aiff"), QStringLiteral("au"),   QStringLiteral("snd"),
        QStringLiteral("flac"), QStringLiteral("ogg"),  QStringLiteral("oga")};
    if (mpeg.contains(suffix)) {
        return Kind::Mpeg;
    }
    if (midi.contains(suffix)) {
        return Kind::Midi;
    }
    if (pcm.contains(suffix)) {
        return Kind::Sndfile;
    }
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(4) : QByteArray();
    if (head == "MThd") {
        return Kind::Midi;
    }
    if (head == "RIFF" || head == "FORM" || head == "fLaC" || head == "OggS" || head == ".snd") {
        return Kind::Sndfile;
    }
    return Kind::Mpeg;
}

std::unique_ptr<Decoder> DecoderFactory::open(const QString& path, QString& error) const
{
    if (path.isEmpty()) {
        error = QStringLiteral("No file name given");
        return nullptr;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        error = QStringLiteral("File not found: %1").arg(path);
        return nullptr;
    }
    if (info.isDir()) {
        error = QStringLiteral("This is a folder, not a song: %1").arg(path);
        return nullptr;
    }
    if (info.size() == 0) {
        error = QStringLiteral("The file is empty: %1").arg(path);
        return nullptr;
    }
    if (!info.isReadable()) {
        error = QStringLiteral("The file cannot be read: %1").arg(path);
        return nullptr;
    }
    QString why;
    std::unique_ptr<Decoder> decoder;
    switch (kindOf(path)) {
        case Kind::Mpeg:
            decoder = Mpg123Decoder::open(path, why);
            break;
        case Kind::Sndfile:
            decoder = SndfileDecoder::open(path, why);
            break;
        case Kind::Midi:
            decoder = MidiDecoder::open(path, synth_, why);
            break;
    }
    if (!decoder) {
        error = QStringLiteral("%1: %2").arg(why, path);
    }
    return decoder;
}
