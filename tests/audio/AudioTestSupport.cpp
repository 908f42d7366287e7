// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioTestSupport.h"

#include "audio/MpegPlayer.h"
#include "audio/PlayerEvents.h"

#include <ebur128.h>
#include <gtest/gtest.h>
#include <mpg123.h>
#include <sndfile.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <array>
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

namespace {
ebur128_state* measure(const Pcm& pcm, int mode)
{
    ebur128_state* state = ebur128_init(static_cast<unsigned>(pcm.channels),
                                        static_cast<unsigned long>(pcm.rate), mode);
    if (state != nullptr) {
        ebur128_add_frames_short(state, pcm.samples.data(), pcm.frames());
    }
    return state;
}
}  // namespace

double integratedLufs(const Pcm& pcm)
{
    ebur128_state* state = measure(pcm, EBUR128_MODE_I);
    double lufs = -HUGE_VAL;
    if (state != nullptr) {
        ebur128_loudness_global(state, &lufs);
        ebur128_destroy(&state);
    }
    return lufs;
}

double truePeakDb(const Pcm& pcm)
{
    ebur128_state* state = measure(pcm, EBUR128_MODE_TRUE_PEAK);
    double top = 0.0;
    for (int c = 0; state != nullptr && c < pcm.channels; ++c) {
        double peak = 0.0;
        ebur128_true_peak(state, static_cast<unsigned>(c), &peak);
        top = std::max(top, peak);
    }
    if (state != nullptr) {
        ebur128_destroy(&state);
    }
    return top > 0.0 ? 20.0 * std::log10(top) : -HUGE_VAL;
}

bool writeToneWav(const QString& path, double seconds, double level, double hz, bool raised)
{
    const auto frames = static_cast<sf_count_t>(seconds * 44100);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(frames) * 2);
    for (sf_count_t f = 0; f < frames; ++f) {
        const double t = static_cast<double>(f) / 44100.0;
        double v = 0.7 * std::sin(2 * M_PI * hz * t) + 0.3 * std::sin(2 * M_PI * 110.0 * t);
        if (raised) {
            v = 0.55 + 0.45 * v;
        }
        const auto s = static_cast<std::int16_t>(std::lround(level * 32767.0 * v));
        samples[static_cast<std::size_t>(2 * f)] = s;
        samples[static_cast<std::size_t>(2 * f + 1)] = s;
    }
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (file == nullptr) {
        return false;
    }
    const sf_count_t written = sf_writef_short(file, samples.data(), frames);
    sf_close(file);
    return written == frames;
}

bool writePcmWav(const QString& path, const Pcm& pcm)
{
    SF_INFO info{};
    info.samplerate = pcm.rate;
    info.channels = pcm.channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (file == nullptr) {
        return false;
    }
    const auto frames = static_cast<sf_count_t>(pcm.frames());
    const sf_count_t written = sf_writef_short(file, pcm.samples.data(), frames);
    sf_close(file);
    return written == frames;
}

PcmBuilder& PcmBuilder::silence(double seconds)
{
    pcm_.samples.resize(pcm_.samples.size() + static_cast<std::size_t>(seconds * 44100) * 2, 0);
    return *this;
}

PcmBuilder& PcmBuilder::glide(double seconds, double fromDb, double toDb, double hz)
{
    const auto frames = static_cast<std::size_t>(seconds * 44100);
    for (std::size_t f = 0; f < frames; ++f) {
        const double db =
            fromDb + (toDb - fromDb) * static_cast<double>(f) / static_cast<double>(frames);
        const double t = phase_ + static_cast<double>(f) / 44100.0;
        double v = 0.7 * std::sin(2 * M_PI * hz * t) + 0.3 * std::sin(2 * M_PI * 110.0 * t);
        if (raised_) {
            v = 0.55 + 0.45 * v;
        }
        const auto s =
            static_cast<std::int16_t>(std::lround(std::pow(10.0, db / 20.0) * 32767.0 * v));
        pcm_.samples.push_back(s);
        pcm_.samples.push_back(s);
    }
    phase_ += static_cast<double>(frames) / 44100.0;
    return *this;
}

bool ToneDecoder::seek(std::int64_t frame)
{
    position_ = std::clamp<std::int64_t>(frame, 0, length_);
    return true;
}

std::size_t ToneDecoder::read(std::int16_t* out, std::size_t frames)
{
    const auto n = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(frames), length_ - position_));
    for (std::size_t f = 0; f < n; ++f) {
        const double t = static_cast<double>(position_ + static_cast<std::int64_t>(f)) / 44100.0;
        const auto s = static_cast<std::int16_t>(
            std::lround(level_ * 32767.0 * std::sin(2 * M_PI * 440.0 * t)));
        out[2 * f] = out[2 * f + 1] = s;
    }
    position_ += static_cast<std::int64_t>(n);
    return n;
}

SinkCapture::SinkCapture(std::size_t maxFrames)
    : sink_(std::make_shared<OutputSink>(maxFrames)),
      samples_(maxFrames * 2),
      reader_([this] { readUntilStopped(); })
{
}

SinkCapture::~SinkCapture()
{
    stop_.store(true, std::memory_order_release);
    sink_->wake();
    reader_.join();
}

void SinkCapture::attach(AudioEngine& engine)
{
    EXPECT_TRUE(engine.addSink(sink_));
}

void SinkCapture::readUntilStopped()
{
    while (!stop_.load(std::memory_order_acquire)) {
        if (!sink_->waitForFrames(std::chrono::milliseconds(200))) {
            continue;
        }
        const std::size_t at = frames_.load(std::memory_order_relaxed);
        const std::size_t room = samples_.size() / 2 - at;
        std::size_t n = 0;
        if (room > 0) {
            n = sink_->read(samples_.data() + at * 2, room);
            frames_.store(at + n, std::memory_order_release);
        } else {
            // Full: what comes after is not kept, but the ring still drains.
            std::array<std::int16_t, 2048> spill{};
            n = sink_->read(spill.data(), spill.size() / 2);
        }
        taken_.fetch_add(n, std::memory_order_release);
    }
}

Pcm SinkCapture::played() const
{
    const std::uint64_t queued = sink_->framesQueued();
    waitFor([&] { return taken_.load(std::memory_order_acquire) >= queued; },
            std::chrono::seconds(2));
    const std::size_t frames = frames_.load(std::memory_order_acquire);
    Pcm pcm{44100, 2, {}};
    pcm.samples.assign(samples_.begin(),
                       samples_.begin() + static_cast<std::ptrdiff_t>(frames * 2));
    return pcm;
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

AudioEngine::Options asMade(AudioEngine::Output output)
{
    AudioEngine::Options options;
    options.output = output;
    options.evenLoudness = false;
    options.duckDepthDb = 0.0;
    return options;
}

Opened openSong(MpegPlayer& player, const QString& path, std::chrono::milliseconds timeout)
{
    Opened result;
    bool answered = false;
    QObject guard;
    QObject::connect(&player.events(), &PlayerEvents::songOpened, &guard,
                     [&](const OpenedSong&) { answered = true; });
    QObject::connect(&player.events(), &PlayerEvents::songFailed, &guard,
                     [&](const QString&, const QString& error) {
                         result.error = error;
                         answered = true;
                     });
    result.error = player.OpenMPEG(0, path, QStringLiteral("MPEGVideo"));
    if (result.error.isEmpty() && !waitFor([&] { return answered; }, timeout)) {
        result.error = QStringLiteral("no answer");
    }
    result.totalFrames = player.GetTotalframes();
    return result;
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
