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
//   segue_bench --library FOLDER      writes the library, for the real program
//   segue_bench --capture RAW [SECONDS]
//                                     the same figures from a capture of the real
//                                     program (SDL's disk driver) playing that
//                                     library in order
#include "SinkReader.h"
#include "audio/AudioEngine.h"
#include "audio/PlayerEvents.h"

#include <ebur128.h>
#include <sndfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/wavfile.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <thread>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kTargetLufs = -16.0;
// Under this a sample is silence (-60 dBFS).
constexpr int kSilentSample = 33;
// Pitches are told over this many frames (46 ms): the next song's pitch,
// 200 Hz away, stays far under its neighbour's.
constexpr std::size_t kPitchWindow = 2048;
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

// The opener, for a capture of the real program: long enough for the intro
// to be over before the library begins.
Song opener()
{
    return {"opener", 200, {{20.0, -10, -10}}};
}

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
                // second over its tone, peaks far above its loudness; the hit
                // swells and fades smoothly, so it sounds at its own pitch only.
                const double sinceHit = std::fmod(t, 0.25);
                const double swell =
                    sinceHit < 0.08 ? 0.5 - 0.5 * std::cos(2 * std::numbers::pi * sinceHit / 0.08)
                                    : 0.0;
                const double hit = std::sin(2 * std::numbers::pi * 80.0 * sinceHit) * swell;
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

bool write(Song& song, const QDir& dir, int index)
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
        engine.preloadNext(songs[i].path, FollowOn::Always, 1);
        pumpUntil([&engine] { return engine.AreMPEGAtEnd() == 1; });
        engine.CloseMPEG();
        engine.OpenMPEG(0, songs[i].path, QStringLiteral("MPEGVideo"));
        engine.PlayMPEG(1, engine.GetTotalframes());
    }
    pumpUntil([&engine] { return engine.AreMPEGAtEnd() == 1; });
}

// How strongly `hz` sounds in the window from `frame` (Goertzel over a Hann
// window, so that a drum hit does not sound at every pitch; left channel),
// as a peak level in dBFS.
double levelAt(const Capture& capture, std::size_t frame, double hz)
{
    constexpr std::size_t kWindow = kPitchWindow;
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

std::size_t lengthOf(const Song& song)
{
    double seconds = 0.0;
    for (const Piece& piece : song.pieces) {
        seconds += piece.seconds;
    }
    return static_cast<std::size_t>(seconds * kRate);
}

// A song is looked for only from where it can have begun after the one
// before, so that the voice over an earlier song is not taken for it.
std::vector<Heard> whereHeard(const Capture& capture, const std::vector<Song>& songs,
                              double thresholdDb)
{
    const std::size_t frames = capture.frames.load(std::memory_order_acquire);
    std::vector<Heard> heard(songs.size(), Heard{SIZE_MAX, 0});
    // A pitch counts once it holds for five steps: a step in level splashes
    // over every pitch for a moment.
    constexpr std::size_t kHeld = 5;
    std::vector<std::size_t> held(songs.size(), 0);
    for (std::size_t frame = 0; frame + kPitchWindow < frames; frame += 441) {
        for (std::size_t s = 0; s < songs.size(); ++s) {
            // Songs overlap by 4 s at most and lose a second or two of
            // silence: the next cannot start earlier than this.
            const std::size_t earliest =
                s == 0 || heard[s - 1].first == SIZE_MAX
                    ? 0
                    : heard[s - 1].first +
                          std::max<std::size_t>(
                              2 * kRate, lengthOf(songs[s - 1]) - std::min(lengthOf(songs[s - 1]),
                                                                           std::size_t{6} * kRate));
            const bool after = s == 0 || (heard[s - 1].first != SIZE_MAX && frame > earliest);
            // A song heard again (the list played round) is not this play.
            const bool again =
                heard[s].first != SIZE_MAX && frame > heard[s].first + lengthOf(songs[s]) + kRate;
            if (again) {
                continue;
            }
            held[s] = after && levelAt(capture, frame, songs[s].hz) > thresholdDb ? held[s] + 1 : 0;
            if (held[s] >= kHeld) {
                heard[s].first = std::min(heard[s].first, frame - (kHeld - 1) * 441);
                heard[s].last = frame + kPitchWindow;
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
    pass.heard = whereHeard(pass.capture, songs, -56.0);
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

// The silence at each join (the album pair aside, its silence is mastered);
// the worst.
double deadAir(const Pass& pass, const std::vector<Song>& songs, std::size_t album)
{
    for (std::size_t i = 0; i < songs.size(); ++i) {
        std::printf("heard %-14s %7.2f s to %7.2f s\n", songs[i].name,
                    static_cast<double>(pass.heard[i].first) / kRate,
                    static_cast<double>(pass.heard[i].last) / kRate);
    }
    double worstMs = 0.0;
    for (std::size_t i = 0; i + 1 < songs.size(); ++i) {
        const Heard& a = pass.heard[i];
        const Heard& b = pass.heard[i + 1];
        const std::size_t low = std::min(a.last, b.first);
        const std::size_t from = low > 4410 ? low - 4410 : 0;
        const std::size_t to = std::max(a.last, b.first) + 4410;
        const double ms =
            1000.0 * static_cast<double>(longestSilence(pass.capture, from, to)) / kRate;
        std::printf("join %-14s -> %-14s silence %7.1f ms%s\n", songs[i].name, songs[i + 1].name,
                    ms, i == album ? " (mastered, album)" : "");
        if (i != album) {
            worstMs = std::max(worstMs, ms);
        }
    }
    return worstMs;
}

// The overlaps (both songs heard at once), how loud and how high the peaks
// are meanwhile, and the album pair.
void overlaps(const Pass& pass, const std::vector<Song>& songs, int askedMs)
{
    double longestMs = 0.0;
    double overLu = -300.0;
    double worstPeak = -300.0;
    for (std::size_t i = 0; i + 1 < songs.size(); ++i) {
        const Heard& a = pass.heard[i];
        const Heard& b = pass.heard[i + 1];
        const double ms =
            b.first < a.last ? 1000.0 * static_cast<double>(a.last - b.first) / kRate : 0.0;
        std::printf("join %-14s -> %-14s overlap %7.0f ms", songs[i].name, songs[i + 1].name, ms);
        if (b.first < a.last) {
            const double lu = shortTermOver(pass.capture, b.first, a.last);
            const double peak = truePeakDb(pass.capture, b.first, a.last);
            std::printf(", short-term over target %+.2f LU, true peak %.2f dBTP", lu, peak);
            overLu = std::max(overLu, lu);
            worstPeak = std::max(worstPeak, peak);
        }
        std::printf("\n");
        longestMs = std::max(longestMs, ms);
    }
    worstPeak = std::max(worstPeak, truePeakDb(pass.capture, 0, pass.capture.frames.load()));
    std::printf("crossfade overlap ms: %.0f (asked %d)\n", longestMs, askedMs);
    std::printf("overlap loudness over target LU: %.2f\n", std::max(overLu, 0.0));
    std::printf("true peak dBTP, worst: %.2f\n", worstPeak);
}

long albumGap(const Pass& pass, std::size_t album)
{
    const std::size_t zeros =
        zeroRunBefore(pass.capture, pass.heard[album + 1].first + kPitchWindow, 2 * kPitchWindow);
    const long expected = static_cast<long>(std::lround(kAlbumGapSeconds / 2 * kRate)) * 2;
    return std::abs(static_cast<long>(zeros) - expected);
}

bool writeLibrary(std::vector<Song>& songs, const QString& folder)
{
    for (std::size_t i = 0; i < songs.size(); ++i) {
        if (!write(songs[i], QDir(folder), static_cast<int>(i))) {
            std::fprintf(stderr, "cannot write the songs\n");
            return false;
        }
    }
    return true;
}

// A capture of the real program (SDL's disk driver: 44.1 kHz 16-bit
// stereo) playing the library in order with a crossfade.
int analyseCapture(const std::vector<Song>& songs, const char* file, int askedMs)
{
    Pass pass;
    QFile raw(QString::fromLocal8Bit(file));
    if (!raw.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", file);
        return 1;
    }
    const QByteArray bytes = raw.read(static_cast<qint64>(pass.capture.samples.size() * 2));
    std::memcpy(pass.capture.samples.data(), bytes.constData(),
                static_cast<std::size_t>(bytes.size()));
    pass.capture.frames.store(static_cast<std::size_t>(bytes.size()) / 4);
    // The voice talks over the opener only.
    pass.heard = whereHeard(pass.capture, songs, -56.0);
    std::printf("capture: %.1f s\n", static_cast<double>(pass.capture.frames.load()) / kRate);
    std::printf("dead air ms, worst join: %.1f\n", deadAir(pass, songs, 6));
    overlaps(pass, songs, askedMs);
    std::printf("album join gap samples: %ld\n", albumGap(pass, 6));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::vector<Song> songs = library();
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 3 && args.at(1).startsWith(QLatin1String("--"))) {
        songs.insert(songs.begin(), opener());
    }
    if (args.size() >= 3 && args.at(1) == QLatin1String("--library")) {
        // The library for a capture of the real program, in playing order.
        QDir().mkpath(args.at(2));
        if (!writeLibrary(songs, args.at(2))) {
            return 1;
        }
        for (const Song& song : songs) {
            std::printf("%s\n", qPrintable(song.path));
        }
        return 0;
    }
    if (args.size() >= 3 && args.at(1) == QLatin1String("--capture")) {
        const int askedMs = args.size() > 3 ? args.at(3).toInt() * 1000 : 4000;
        return analyseCapture(songs, argv[2], askedMs);
    }
    const double crossfadeSeconds = argc > 1 ? std::atof(argv[1]) : 4.0;
    const int crossfadeMs = static_cast<int>(std::lround(crossfadeSeconds * 1000));
    QTemporaryDir dir;
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    if (!writeLibrary(songs, dir.path())) {
        return 1;
    }
    std::printf("%zu songs, played in real time twice (about %d s)...\n", songs.size(), 150);
    std::fflush(stdout);

    Pass gapless;
    run(gapless, songs, dir, 0);
    Pass faded;
    run(faded, songs, dir, crossfadeMs);

    const std::size_t album = 5;  // the first album track
    std::printf("dead air ms, worst join: %.1f\n", deadAir(gapless, songs, album));
    overlaps(faded, songs, crossfadeMs);
    std::printf("album join gap samples: %ld\n",
                std::max(albumGap(gapless, album), albumGap(faded, album)));
    return 0;
}
