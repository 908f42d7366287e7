// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeardSound.h"

#include "audio/decode/Decoder.h"
#include "audio/decode/DecoderFactory.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <numbers>

namespace heard_sound {

namespace {
// Where the Ogg stream's links begin: at each page that opens a logical
// stream (a new title chains one). A player goes from link to link;
// libsndfile reads one link of a file.
std::vector<qsizetype> oggLinks(const QByteArray& stream)
{
    std::vector<qsizetype> starts;
    constexpr char kBeginsStream = 0x02;
    for (qsizetype at = stream.indexOf("OggS"); at >= 0 && at + 6 <= stream.size();
         at = stream.indexOf("OggS", at + 4)) {
        if ((stream.at(at + 5) & kBeginsStream) != 0) {
            starts.push_back(at);
        }
    }
    return starts;
}

Heard decodeFile(const QByteArray& stream, const QString& extension);
}  // namespace

Heard decode(const QByteArray& stream, const QString& extension)
{
    if (extension != QLatin1String("opus")) {
        return decodeFile(stream, extension);
    }
    std::vector<qsizetype> links = oggLinks(stream);
    links.push_back(stream.size());
    Heard whole;
    for (std::size_t i = 0; i + 1 < links.size(); ++i) {
        const Heard part = decodeFile(stream.mid(links[i], links[i + 1] - links[i]), extension);
        whole.rate = part.rate;
        whole.pcm.insert(whole.pcm.end(), part.pcm.begin(), part.pcm.end());
    }
    return whole;
}

namespace {
Heard decodeFile(const QByteArray& stream, const QString& extension)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("heard.") + extension);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(stream) != stream.size()) {
        return {};
    }
    file.close();
    const DecoderFactory factory(DecoderFactory::defaultSoundFont());
    QString error;
    const std::unique_ptr<Decoder> decoder = factory.open(path, error);
    if (!decoder) {
        return {};
    }
    const int channels = decoder->channels();
    std::vector<std::int16_t> raw;
    std::vector<std::int16_t> block(4096 * static_cast<std::size_t>(channels));
    for (std::size_t got; (got = decoder->read(block.data(), 4096)) > 0;) {
        raw.insert(raw.end(), block.begin(), block.begin() + got * channels);
    }
    // The station is stereo; a mono decode is spread to both sides.
    Heard heard;
    heard.rate = decoder->sampleRate();
    if (channels == 2) {
        heard.pcm = std::move(raw);
        return heard;
    }
    for (std::size_t i = 0; i < raw.size(); i += static_cast<std::size_t>(channels)) {
        heard.pcm.push_back(raw[i]);
        heard.pcm.push_back(raw[i]);
    }
    return heard;
}
}  // namespace

double toneShare(const Heard& heard, std::size_t first, std::size_t count, double hz)
{
    const std::vector<std::int16_t>& pcm = heard.pcm;
    // Goertzel at `hz` over a Hann window, against the window's whole power.
    const double w = 2.0 * std::numbers::pi * hz / heard.rate;
    double s1 = 0;
    double s2 = 0;
    double power = 0;
    for (std::size_t i = 0; i < count && (first + i) * 2 < pcm.size(); ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) /
                                                 static_cast<double>(count));
        const double x = hann * pcm[(first + i) * 2] / 32768.0;
        power += x * x;
        const double s = x + 2.0 * std::cos(w) * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    if (power <= 0) {
        return 0;
    }
    const double bin = s1 * s1 + s2 * s2 - 2.0 * std::cos(w) * s1 * s2;
    // A pure tone under a Hann window of N frames puts N/3 times the
    // window's power into its bin.
    return std::min(1.0, bin * 3.0 / (power * static_cast<double>(count)));
}

double level(const Heard& heard, std::size_t first, std::size_t count)
{
    const std::vector<std::int16_t>& pcm = heard.pcm;
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = first; i < first + count && i * 2 < pcm.size(); ++i, ++n) {
        const double x = pcm[i * 2] / 32768.0;
        sum += x * x;
    }
    return n > 0 ? std::sqrt(sum / static_cast<double>(n)) : 0.0;
}

long firstWindowWith(const Heard& heard, std::size_t window, double hz, double share)
{
    for (std::size_t first = 0; first + window <= heard.frames(); first += window) {
        if (level(heard, first, window) > 0.01 && toneShare(heard, first, window, hz) >= share) {
            return static_cast<long>(first);
        }
    }
    return -1;
}

}  // namespace heard_sound
