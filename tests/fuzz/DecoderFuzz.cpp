// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for opening and decoding a song the way the engine does:
// the input is written to a file, DecoderFactory picks the decoder by its
// content (the first input byte picks the name it carries), and the song is
// read, seeked and converted to the output format for up to 1/8 s.
// Checks that only formats the converter takes come out, that lengths stay
// in range, that no read overruns its buffer (ASan), and that one chunk's
// growth in the converter is bounded.

#include "FuzzSupport.h"
#include "audio/PcmConverter.h"
#include "audio/decode/DecoderFactory.h"

#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::size_t kChunk = 4096;

void decodeSome(Decoder& decoder)
{
    const int rate = decoder.sampleRate();
    const int channels = decoder.channels();
    check(PcmConverter::accepts(rate, channels));
    check(decoder.length() > 0);
    // A guard past the end of the chunk: a decoder writing more is caught.
    std::vector<std::int16_t> buffer(kChunk * static_cast<std::size_t>(channels));
    PcmConverter converter(rate, channels);
    check(converter.valid());
    // Kept between runs: a fresh half megabyte each time costs more than
    // the decoding.
    static std::vector<std::int16_t> out(kChunk * 64);
    std::size_t total = 0;
    const auto limit = static_cast<std::size_t>(rate / 8);
    while (total < limit) {
        const std::size_t got = decoder.read(buffer.data(), kChunk);
        check(got <= kChunk);
        if (got == 0) {
            break;
        }
        total += got;
        check(converter.put(buffer.data(), got));
        // 4,096 frames at 8 kHz grow to 22,579 at most.
        check(converter.available() <= got * 44100 / PcmConverter::kMinRate + 64);
        while (converter.get(out.data(), kChunk * 32) > 0) {
        }
    }
    converter.finish();
    while (converter.get(out.data(), kChunk * 32) > 0) {
    }
    if (decoder.seek(decoder.length() / 2)) {
        decoder.read(buffer.data(), kChunk);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    static const DecoderFactory factory(DecoderFactory::defaultSoundFont());
    if (size < 1) {
        return 0;
    }
    static const std::array<const char*, 4> names{"song.mp3", "song.wav", "song.mid", "song"};
    const QString path = dir.filePath(QString::fromLatin1(names[data[0] % names.size()]));
    {
        QFile out(path);
        check(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(reinterpret_cast<const char*>(data) + 1, static_cast<qint64>(size - 1));
    }
    QString error;
    const std::unique_ptr<Decoder> decoder = factory.open(path, error);
    if (!decoder) {
        check(!error.isEmpty());
    } else {
        decodeSome(*decoder);
    }
    QFile::remove(path);
    return 0;
}
