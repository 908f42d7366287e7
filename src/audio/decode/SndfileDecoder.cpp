// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/decode/SndfileDecoder.h"

#include <sndfile.h>

SndfileDecoder::SndfileDecoder(SNDFILE* handle, RegularFile file)
    : handle_(handle), file_(std::move(file))
{
}

SndfileDecoder::~SndfileDecoder()
{
    sf_close(handle_);
}

std::unique_ptr<SndfileDecoder> SndfileDecoder::open(RegularFile file, QString& error)
{
    SF_INFO info{};
    SNDFILE* handle = sf_open_fd(file.descriptor(), SFM_READ, &info, SF_FALSE);
    if (handle == nullptr) {
        error = QStringLiteral("Not a readable sound file (%1)")
                    .arg(QString::fromUtf8(sf_strerror(nullptr)));
        return nullptr;
    }
    std::unique_ptr<SndfileDecoder> decoder(new SndfileDecoder(handle, std::move(file)));
    if (info.frames <= 0) {
        error = QStringLiteral("The sound file holds no audio");
        return nullptr;
    }
    // Float files are scaled into the 16-bit range instead of wrapping.
    sf_command(handle, SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);
    decoder->rate_ = info.samplerate;
    decoder->channels_ = info.channels;
    decoder->length_ = info.frames;
    return decoder;
}

bool SndfileDecoder::seek(std::int64_t frame)
{
    return sf_seek(handle_, static_cast<sf_count_t>(frame), SEEK_SET) >= 0;
}

std::size_t SndfileDecoder::read(std::int16_t* out, std::size_t frames)
{
    const sf_count_t got = sf_readf_short(handle_, out, static_cast<sf_count_t>(frames));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}
