#include "AudioTestSupport.h"

#include "audio/MpegPlayer.h"

#include <mpg123.h>
#include <sndfile.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <cmath>
#include <cstdlib>

namespace audio_test {

Pcm Pcm::slice(std::size_t firstFrame, std::size_t frameCount) const
{
    Pcm part{rate, channels, {}};
    const std::size_t ch = static_cast<std::size_t>(channels);
    const std::size_t from = std::min(firstFrame, frames());
    const std::size_t to = std::min(frames(), from + frameCount);
    part.samples.assign(samples.begin() + static_cast<std::ptrdiff_t>(from * ch),
                        samples.begin() + static_cast<std::ptrdiff_t>(to * ch));
    return part;
}

QString media(const char* name)
{
    return QStringLiteral(TOLVAR_TEST_MEDIA "/") + QString::fromUtf8(name);
}

Pcm decodeMpeg(const QString& path)
{
    Pcm pcm;
    mpg123_init();
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    mpg123_format_none(handle);
    const long* rates = nullptr;
    std::size_t count = 0;
    mpg123_rates(&rates, &count);
    for (std::size_t i = 0; i < count; ++i) {
        mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    if (mpg123_open(handle, QFile::encodeName(path).constData()) == MPG123_OK) {
        long rate = 0;
        int encoding = 0;
        mpg123_getformat(handle, &rate, &pcm.channels, &encoding);
        pcm.rate = static_cast<int>(rate);
        std::vector<unsigned char> buffer(16384);
        for (;;) {
            std::size_t done = 0;
            const int code = mpg123_read(handle, buffer.data(), buffer.size(), &done);
            const auto* s = reinterpret_cast<const std::int16_t*>(buffer.data());
            pcm.samples.insert(pcm.samples.end(), s, s + done / 2);
            if (code != MPG123_OK && code != MPG123_NEW_FORMAT) {
                break;
            }
        }
    }
    mpg123_close(handle);
    mpg123_delete(handle);
    return pcm;
}

Pcm readSoundFile(const QString& path)
{
    Pcm pcm;
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (file == nullptr) {
        return pcm;
    }
    pcm.rate = info.samplerate;
    pcm.channels = info.channels;
    pcm.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t got = sf_readf_short(file, pcm.samples.data(), info.frames);
    pcm.samples.resize(static_cast<std::size_t>(got * info.channels));
    sf_close(file);
    return pcm;
}

DiskCapture::DiskCapture()
    : file_(dir_.filePath(QStringLiteral("output.raw"))),
      previousDriver_(qgetenv("SDL_AUDIODRIVER"))
{
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(file_));
    qunsetenv("SDL_DISKAUDIODELAY");  // real-time pace
}

DiskCapture::~DiskCapture()
{
    qputenv("SDL_AUDIODRIVER", previousDriver_.isEmpty() ? QByteArray("dummy") : previousDriver_);
    qunsetenv("SDL_DISKAUDIOFILE");
}

Pcm DiskCapture::read() const
{
    Pcm pcm{44100, 2, {}};
    QFile in(file_);
    if (in.open(QIODevice::ReadOnly)) {
        const QByteArray raw = in.readAll();
        const auto* s = reinterpret_cast<const std::int16_t*>(raw.constData());
        pcm.samples.assign(s, s + (raw.size() / 4) * 2);
    }
    return pcm;
}

namespace {
bool frameSilent(const Pcm& pcm, std::size_t frame)
{
    for (int c = 0; c < pcm.channels; ++c) {
        if (pcm.samples[frame * static_cast<std::size_t>(pcm.channels) +
                        static_cast<std::size_t>(c)] != 0) {
            return false;
        }
    }
    return true;
}
}  // namespace

std::vector<Run> silentRuns(const Pcm& pcm, std::size_t minFrames)
{
    std::vector<Run> runs;
    std::size_t start = 0;
    bool inRun = false;
    for (std::size_t f = 0; f <= pcm.frames(); ++f) {
        const bool silent = f < pcm.frames() && frameSilent(pcm, f);
        if (silent && !inRun) {
            start = f;
            inRun = true;
        } else if (!silent && inRun) {
            if (f - start >= minFrames) {
                runs.push_back({start, f});
            }
            inRun = false;
        }
    }
    return runs;
}

Pcm trimmed(const Pcm& pcm)
{
    std::size_t begin = 0;
    std::size_t end = pcm.frames();
    while (begin < end && frameSilent(pcm, begin)) {
        ++begin;
    }
    while (end > begin && frameSilent(pcm, end - 1)) {
        --end;
    }
    return pcm.slice(begin, end - begin);
}

Pcm withoutGaps(const Pcm& pcm, std::size_t minFrames)
{
    const Pcm inner = trimmed(pcm);
    Pcm out{inner.rate, inner.channels, {}};
    std::size_t from = 0;
    for (const Run& run : silentRuns(inner, minFrames)) {
        const Pcm part = inner.slice(from, run.begin - from);
        out.samples.insert(out.samples.end(), part.samples.begin(), part.samples.end());
        from = run.end;
    }
    const Pcm rest = inner.slice(from, inner.frames() - from);
    out.samples.insert(out.samples.end(), rest.samples.begin(), rest.samples.end());
    return out;
}

double rms(const Pcm& pcm)
{
    if (pcm.samples.empty()) {
        return 0.0;
    }
    double sum = 0.0;
    for (const std::int16_t s : pcm.samples) {
        sum += static_cast<double>(s) * s;
    }
    return std::sqrt(sum / static_cast<double>(pcm.samples.size()));
}

int peak(const Pcm& pcm)
{
    int p = 0;
    for (const std::int16_t s : pcm.samples) {
        p = std::max(p, std::abs(int{s}));
    }
    return p;
}

long find(const Pcm& haystack, const Pcm& needle)
{
    const std::size_t n = needle.samples.size();
    const std::size_t ch = static_cast<std::size_t>(haystack.channels);
    if (n == 0 || haystack.samples.size() < n) {
        return -1;
    }
    for (std::size_t at = 0; at + n <= haystack.samples.size(); at += ch) {
        if (std::equal(needle.samples.begin(), needle.samples.end(),
                       haystack.samples.begin() + static_cast<std::ptrdiff_t>(at))) {
            return static_cast<long>(at / ch);
        }
    }
    return -1;
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    QDeadlineTimer deadline(timeout);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        QThread::msleep(2);
    }
    return true;
}

bool waitForEnd(MpegPlayer& player, std::chrono::milliseconds timeout)
{
    return waitFor([&player] { return player.AreMPEGAtEnd() == 1; }, timeout);
}

MidiWriter& MidiWriter::track()
{
    tracks_.emplace_back();
    return *this;
}

MidiWriter& MidiWriter::event(std::uint32_t delta, std::initializer_list<std::uint8_t> bytes)
{
    QByteArray& t = tracks_.back();
    std::uint8_t vlq[5];
    int n = 0;
    vlq[n++] = static_cast<std::uint8_t>(delta & 0x7F);
    while ((delta >>= 7) != 0) {
        vlq[n++] = static_cast<std::uint8_t>(0x80 | (delta & 0x7F));
    }
    while (n > 0) {
        t.append(static_cast<char>(vlq[--n]));
    }
    for (const std::uint8_t b : bytes) {
        t.append(static_cast<char>(b));
    }
    return *this;
}

MidiWriter& MidiWriter::tempo(std::uint32_t delta, std::uint32_t microsPerQuarter)
{
    return event(delta, {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(microsPerQuarter >> 16),
                         static_cast<std::uint8_t>(microsPerQuarter >> 8),
                         static_cast<std::uint8_t>(microsPerQuarter)});
}

MidiWriter& MidiWriter::note(std::uint32_t delta, int key, std::uint32_t length)
{
    const auto k = static_cast<std::uint8_t>(key);
    event(delta, {0x90, k, 100});
    return event(length, {0x80, k, 0});
}

MidiWriter& MidiWriter::endTrack(std::uint32_t delta)
{
    return event(delta, {0xFF, 0x2F, 0x00});
}

QByteArray MidiWriter::bytes(int format) const
{
    auto be = [](QByteArray& out, std::uint32_t value, int size) {
        for (int i = size - 1; i >= 0; --i) {
            out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    };
    QByteArray out("MThd");
    be(out, 6, 4);
    be(out, static_cast<std::uint32_t>(format), 2);
    be(out, static_cast<std::uint32_t>(tracks_.size()), 2);
    be(out, static_cast<std::uint32_t>(division_), 2);
    for (const QByteArray& t : tracks_) {
        out.append("MTrk");
        be(out, static_cast<std::uint32_t>(t.size()), 4);
        out.append(t);
    }
    return out;
}

bool MidiWriter::save(const QString& path, int format) const
{
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(bytes(format)) >= 0;
}

}  // namespace audio_test
