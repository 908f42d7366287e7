#include "audio/SndfileDecoder.h"

#include <sndfile.h>
#include <QFile>

namespace {
// What the mixer's converter accepts.
constexpr int kMaxChannels = 8;
constexpr int kMaxRate = 384000;
}  // namespace

SndfileDecoder::SndfileDecoder(SNDFILE* file) : file_(file) {}

SndfileDecoder::~SndfileDecoder()
{
    sf_close(file_);
}

std::unique_ptr<SndfileDecoder> SndfileDecoder::open(const QString& path, QString& error)
{
    SF_INFO info{};
    const QByteArray name = QFile::encodeName(path);
    SNDFILE* file = sf_open(name.constData(), SFM_READ, &info);
    if (file == nullptr) {
        error = QStringLiteral("Not a readable sound file (%1)")
                    .arg(QString::fromUtf8(sf_strerror(nullptr)));
        return nullptr;
    }
    std::unique_ptr<SndfileDecoder> decoder(new SndfileDecoder(file));
    if (info.channels < 1 || info.channels > kMaxChannels || info.samplerate < 1 ||
        info.samplerate > kMaxRate) {
        error = QStringLiteral("Unsupported sound format: %1 channels at %2 Hz")
                    .arg(info.channels)
                    .arg(info.samplerate);
        return nullptr;
    }
    if (info.frames <= 0) {
        error = QStringLiteral("The sound file holds no audio");
        return nullptr;
    }
    // Float files are scaled into the 16-bit range instead of wrapping.
    sf_command(file, SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);
    decoder->rate_ = info.samplerate;
    decoder->channels_ = info.channels;
    decoder->length_ = info.frames;
    return decoder;
}

bool SndfileDecoder::seek(std::int64_t frame)
{
    return sf_seek(file_, static_cast<sf_count_t>(frame), SEEK_SET) >= 0;
}

std::size_t SndfileDecoder::read(std::int16_t* out, std::size_t frames)
{
    const sf_count_t got = sf_readf_short(file_, out, static_cast<sf_count_t>(frames));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}
