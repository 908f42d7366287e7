// SPDX-License-Identifier: GPL-3.0-or-later
// Renders a short library through the player library, song after song as the
// radio plays them when nothing is said between them, once one right after
// the other and once with a crossfade, and prints how the songs join: the
// longest silence at a join, how long songs overlap and how loud and how
// high the peaks are while they do, and last how exactly the two tracks of
// one album join.
//
// The library: a song with a second of silence at both ends, one that fades
// out, two loud masters, one with a soft start, two tracks of one album in
// sequence (with silence mastered at the end of the first and the start of
// the second, which must stay) and a last song. Each song is a tone of its
// own pitch, so that what sounds when is told by pitch.
//
//   segue_bench [CROSSFADE_SECONDS]   (4 when not given)
#include "SinkReader.h"
#include "audio/AudioEngine.h"
#include "audio/PlayerEvents.h"

#include <ebur128.h>
#include <sndfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/wavfile.h>
#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <thread>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kTargetLufs = -16.0;
// Under this a sample is silence (-60 dBFS).
constexpr int kSilentSample = 33;
// The silence mastered between the two album tracks.
constexpr double kAlbumGapSeconds = 1.2;

// One song's sound: pieces of tone at a level (peak dBFS, gliding from one
// level to another) or of silence.
struct Piece {
    double seconds;
    double fromDb;  // silence when below -200
    double toDb;
};

struct Song {
    const char* name;
    double hz;
    std::vector<Piece> pieces;
    bool loud = false;    // a master pushed to full scale
    bool raised = false;  // a tone that never crosses zero
    int track = 0;        // on the album when above 0
    QString path{};
};

constexpr double kSilence = -300.0;

std::vector<Song> library()
{
    return {
        {"silent ends",
         300,
         {{1.0, kSilence, kSilence}, {7.0, -10, -10}, {1.0, kSilence, kSilence}}},
        {"fades out", 500, {{5.0, -10, -10}, {4.5, -10, -62}, {0.8, kSilence, kSilence}}},
        {"loud master", 700, {{9.0, -0.2, -0.2}}, true},
        {"loud master 2", 900, {{9.0, -0.2, -0.2}}, true},
        {"soft start", 1100, {{4.5, -34, -34}, {5.0, -10, -10}}},
        {"album track 3",
         1300,
         {{8.0, -10, -10}, {kAlbumGapSeconds / 2, kSilence, kSilence}},
         false,
         true,
         3},
        {"album track 4",
         1500,
         {{kAlbumGapSeconds / 2, kSilence, kSilence}, {8.0, -10, -10}},
         false,
         true,
         4},
        {"last song", 1700, {{9.0, -10, -10}}},
    };
}

std::vector<std::int16_t> render(const Song& song)
{
    std::vector<std::int16_t> out;
    double t = 0.0;
    for (const Piece& piece : song.pieces) {
        const auto frames = static_cast<std::size_t>(piece.seconds * kRate);
        for (std::size_t f = 0; f < frames; ++f, t += 1.0 / kRate) {
            double v = 0.0;
            if (piece.fromDb > -200) {
                const double db = piece.fromDb + (piece.toDb - piece.fromDb) *
                                                     static_cast<double>(f) /
                                                     static_cast<double>(frames);
                const double s = std::sin(2 * std::numbers::pi * song.hz * t);
                // A loud master: a drum hit at full scale every quarter of a
                // second over its tone, peaks far above its loudness.
                const double sinceHit = std::fmod(t, 0.25);
                const double hit =
                    std::sin(2 * std::numbers::pi * 80.0 * sinceHit) * std::exp(-sinceHit / 0.012);
                const double shaped = song.loud ? 0.35 * s + 0.65 * hit : s;
                v = std::pow(10.0, db / 20.0) * (song.raised ? 0.55 + 0.45 * shaped : shaped);
            }
            const auto sample = static_cast<std::int16_t>(std::lround(v * 32767.0));
            out.push_back(sample);
            out.push_back(sample);
        }
    }
    return out;
}

bool write(Song& song, const QTemporaryDir& dir, int index)
{
    song.path = dir.filePath(QStringLiteral("%1.wav").arg(index));
    const std::vector<std::int16_t> pcm = render(song);
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(QFile::encodeName(song.path).constData(), SFM_WRITE, &info);
    if (file == nullptr) {
        return false;
    }
    const auto frames = static_cast<sf_count_t>(pcm.size() / 2);
    const bool written = sf_writef_short(file, pcm.data(), frames) == frames;
    sf_close(file);
    if (!written) {
        return false;
    }
    TagLib::RIFF::WAV::File tagged(QFile::encodeName(song.path).constData());
    TagLib::ID3v2::Tag* tag = tagged.ID3v2Tag();
    tag->setTitle(song.name);
    tag->setArtist(song.track > 0 ? "Tolvar Band" : song.name);
    if (song.track > 0) {
        tag->setAlbum("Night Drive");
        tag->setTrack(static_cast<unsigned>(song.track));
    }
    return tagged.save();
}

struct Capture {
    std::vector<std::int16_t> samples = std::vector<std::int16_t>(std::size_t{kRate} * 2 * 240);
    std::atomic<std::size_t> frames{0};

    SinkReader::OnSound sound()
    {
        return [this](const std::int16_t* data, std::size_t count) {
            const std::size_t at = frames.load(std::memory_order_relaxed);
            const std::size_t n = std::min(count, samples.size() / 2 - at);
            std::copy(data, data + n * 2, samples.begin() + static_cast<std::ptrdiff_t>(at * 2));
            frames.store(at + n, std::memory_order_release);
        };
    }
    std::int16_t at(std::size_t frame, int channel) const { return samples[frame * 2 + channel]; }
};

void pumpUntil(const std::function<bool()>& done)
{
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// The songs one after the other, each loaded ahead to follow on, as the
// sequencer does when nothing is to be said at a song end.
void play(AudioEngine& engine, const std::vector<Song>& songs)
{
    bool opened = false;
    QObject guard;
    QObject::connect(&engine.events(), &PlayerEvents::songOpened, &guard,
                     [&opened](const OpenedSong&) { opened = true; });
    engine.OpenMPEG(0, songs.front().path, QStringLiteral("MPEGVideo"));
    pumpUntil([&opened] { return opened; });
    engine.PlayMPEG(1, engine.GetTotalframes());
    for (std::size_t i = 1; i < songs.size(); ++i) {
        engine.preloadNext(songs[i].path, FollowOn::Always);
        pumpUntil([&engine] { return engine.AreMPEGAtEnd() == 1; });
        engine.CloseMPEG();
        engine.OpenMPEG(0, songs[i].path, QStringLiteral("MPEGVideo"));
        engine.PlayMPEG(1, engine.GetTotalframes());
    }
    pumpUntil([&engine] { return engine.AreMPEGAtEnd() == 1; });
}

// How strongly `hz` sounds in the 20 ms from `frame` (Goertzel over a Hann
// window, so that a drum hit does not sound at every pitch; left channel),
// as a peak level in dBFS.
double levelAt(const Capture& capture, std::size_t frame, double hz)
{
    constexpr std::size_t kWindow = 882;
    const double w = 2 * std::numbers::pi * hz / kRate;
    const double coefficient = 2 * std::cos(w);
    double s1 = 0.0;
    double s2 = 0.0;
    for (std::size_t i = 0; i < kWindow; ++i) {
        const double hann = 1.0 - std::cos(2 * std::numbers::pi * static_cast<double>(i) / kWindow);
        const double x = hann * capture.at(frame + i, 0) / 32768.0;
        const double s = x + coefficient * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    const double amplitude = 2.0 * std::sqrt(std::max(power, 0.0)) / kWindow;
    return amplitude > 0 ? 20.0 * std::log10(amplitude) : -300.0;
}

// Where each song sounds, in 10 ms steps: from its first to its last step
// above -56 dBFS at its pitch.
struct Heard {
    std::size_t first = 0;
    std::size_t last = 0;
};

std::vector<Heard> whereHeard(const Capture& capture, const std::vector<Song>& songs)
{
    const std::size_t frames = capture.frames.load(std::memory_order_acquire);
    std::vector<Heard> heard(songs.size(), Heard{SIZE_MAX, 0});
    for (std::size_t frame = 0; frame + 882 < frames; frame += 441) {
        for (std::size_t s = 0; s < songs.size(); ++s) {
            if (levelAt(capture, frame, songs[s].hz) > -56.0) {
                heard[s].first = std::min(heard[s].first, frame);
                heard[s].last = frame + 882;
            }
        }
    }
    return heard;
}

// The longest run of silent frames in [from, to).
std::size_t longestSilence(const Capture& capture, std::size_t from, std::size_t to)
{
    std::size_t longest = 0;
    std::size_t run = 0;
    for (std::size_t f = from; f < to; ++f) {
        const bool silent = std::abs(int{capture.at(f, 0)}) <= kSilentSample &&
                            std::abs(int{capture.at(f, 1)}) <= kSilentSample;
        run = silent ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// The run of exactly zero frames that ends nearest before `frame`.
std::size_t zeroRunBefore(const Capture& capture, std::size_t frame, std::size_t reach)
{
    std::size_t end = frame;
    const std::size_t limit = frame > reach ? frame - reach : 0;
    while (end > limit && (capture.at(end - 1, 0) != 0 || capture.at(end - 1, 1) != 0)) {
        --end;
    }
    std::size_t begin = end;
    while (begin > 0 && capture.at(begin - 1, 0) == 0 && capture.at(begin - 1, 1) == 0) {
        --begin;
    }
    return end - begin;
}

struct Pass {
    Capture capture;
    std::vector<Heard> heard;
};

void run(Pass& pass, const std::vector<Song>& songs, const QTemporaryDir& dir, int crossfadeMs)
{
    AudioEngine::Options options;
    options.output = AudioEngine::Output::SilentClock;
    options.cacheFolder = dir.filePath(QStringLiteral("cache-%1").arg(crossfadeMs));
    AudioEngine engine(options);
    engine.setCrossfade(crossfadeMs);
    {
        SinkReader reader(engine, pass.capture.sound());
        play(engine, songs);
        // The last song's tail has left the output.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        reader.settle();
    }
    pass.heard = whereHeard(pass.capture, songs);
}

double truePeakDb(const Capture& capture, std::size_t from, std::size_t to)
{
    ebur128_state* state = ebur128_init(2, kRate, EBUR128_MODE_TRUE_PEAK);
    ebur128_add_frames_short(state, capture.samples.data() + from * 2, to - from);
    double peak = 0.0;
    for (unsigned c = 0; c < 2; ++c) {
        double channel = 0.0;
        ebur128_true_peak(state, c, &channel);
        peak = std::max(peak, channel);
    }
    ebur128_destroy(&state);
    return peak > 0 ? 20.0 * std::log10(peak) : -300.0;
}

// The highest short-term loudness (3 s) over target whose window ends
// within [from, to).
double shortTermOver(const Capture& capture, std::size_t from, std::size_t to)
{
    ebur128_state* state = ebur128_init(2, kRate, EBUR128_MODE_S);
    const std::size_t start = from > 3 * kRate ? from - 3 * kRate : 0;
    constexpr std::size_t kStep = kRate / 10;
    double highest = -300.0;
    for (std::size_t f = start; f + kStep <= to; f += kStep) {
        ebur128_add_frames_short(state, capture.samples.data() + f * 2, kStep);
        double lufs = 0.0;
        if (f + kStep >= from && ebur128_loudness_shortterm(state, &lufs) == EBUR128_SUCCESS &&
            std::isfinite(lufs)) {
            highest = std::max(highest, lufs - kTargetLufs);
        }
    }
    ebur128_destroy(&state);
    return highest;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const double crossfadeSeconds = argc > 1 ? std::atof(argv[1]) : 4.0;
    const int crossfadeMs = static_cast<int>(std::lround(crossfadeSeconds * 1000));
    QTemporaryDir dir;
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    std::vector<Song> songs = library();
    for (std::size_t i = 0; i < songs.size(); ++i) {
        if (!write(songs[i], dir, static_cast<int>(i))) {
            std::fprintf(stderr, "cannot write the songs\n");
            return 1;
        }
    }
    std::printf("%zu songs, played in real time twice (about %d s)...\n", songs.size(), 150);
    std::fflush(stdout);

    Pass gapless;
    run(gapless, songs, dir, 0);
    Pass faded;
    run(faded, songs, dir, crossfadeMs);

    const std::size_t album = 5;  // the first album track
    // Dead air: the longest silence from one song's last sound to the next
    // one's first, the album pair aside (its silence is mastered).
    double worstGapMs = 0.0;
    for (std::size_t i = 0; i + 1 < songs.size(); ++i) {
        const Heard& a = gapless.heard[i];
        const Heard& b = gapless.heard[i + 1];
        const std::size_t from =
            std::min(a.last, b.first) > 4410 ? std::min(a.last, b.first) - 4410 : 0;
        const std::size_t to = std::max(a.last, b.first) + 4410;
        const double ms =
            1000.0 * static_cast<double>(longestSilence(gapless.capture, from, to)) / kRate;
        std::printf("join %-14s -> %-14s silence %7.1f ms%s\n", songs[i].name, songs[i + 1].name,
                    ms, i == album ? " (mastered, album)" : "");
        if (i != album) {
            worstGapMs = std::max(worstGapMs, ms);
        }
    }
    std::printf("dead air ms, worst join: %.1f\n", worstGapMs);

    // The overlaps: both songs heard at once.
    double longestOverlapMs = 0.0;
    double overLu = -300.0;
    double worstPeak = -300.0;
    for (std::size_t i = 0; i + 1 < songs.size(); ++i) {
        const Heard& a = faded.heard[i];
        const Heard& b = faded.heard[i + 1];
        const double ms =
            b.first < a.last ? 1000.0 * static_cast<double>(a.last - b.first) / kRate : 0.0;
        std::printf("join %-14s -> %-14s overlap %7.0f ms", songs[i].name, songs[i + 1].name, ms);
        if (b.first < a.last) {
            const double lu = shortTermOver(faded.capture, b.first, a.last);
            const double peak = truePeakDb(faded.capture, b.first, a.last);
            std::printf(", short-term over target %+.2f LU, true peak %.2f dBTP", lu, peak);
            overLu = std::max(overLu, lu);
            worstPeak = std::max(worstPeak, peak);
        }
        std::printf("\n");
        longestOverlapMs = std::max(longestOverlapMs, ms);
    }
    const std::size_t fadedEnd = faded.capture.frames.load();
    worstPeak = std::max({worstPeak, truePeakDb(faded.capture, 0, fadedEnd),
                          truePeakDb(gapless.capture, 0, gapless.capture.frames.load())});
    std::printf("crossfade overlap ms: %.0f (asked %d)\n", longestOverlapMs, crossfadeMs);
    std::printf("overlap loudness over target LU: %.2f\n", std::max(overLu, 0.0));
    std::printf("true peak dBTP, worst: %.2f\n", worstPeak);

    // The album pair: exactly the mastered silence between the two tracks,
    // with and without a crossfade asked.
    long worstAlbum = 0;
    for (const Pass* pass : {&gapless, &faded}) {
        const std::size_t zeros =
            zeroRunBefore(pass->capture, pass->heard[album + 1].first + 882, 2 * 882);
        const long expected = static_cast<long>(std::lround(kAlbumGapSeconds / 2 * kRate)) * 2;
        worstAlbum = std::max(worstAlbum, std::abs(static_cast<long>(zeros) - expected));
    }
    std::printf("album join gap samples: %ld\n", worstAlbum);
    return 0;
}
