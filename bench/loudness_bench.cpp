// SPDX-License-Identifier: GPL-3.0-or-later
// Renders a short library through the player library with loudness evened
// and prints what comes out: each song's integrated loudness and true peak
// (songs loaded ahead, as the radio plays them, and opened at once, as the
// first song or a skip is), and the announcer's voice against the music.
// Then the true peak of a song whose ReplayGain tag lies (+12 dB, peak 0.1),
// and last the loudness spread of the songs loaded ahead (largest minus
// smallest).
//
//   loudness_bench   (needs sox, lame and twolame; the songs are made here)
#include "RunTool.h"
#include "SinkReader.h"
#include "audio/AudioEngine.h"
#include "audio/PlayerEvents.h"
#include "speech/TextToSpeech.h"

#include <ebur128.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

// Everything the output takes, from a sink. Unpaced, the output takes only
// what is queued, so songs follow each other without silence between them.
struct Capture {
    std::vector<std::int16_t> samples = std::vector<std::int16_t>(44100 * 2 * 240);
    std::atomic<std::size_t> frames{0};
    const SinkReader* reader = nullptr;

    SinkReader::OnSound sound()
    {
        return [this](const std::int16_t* data, std::size_t count) { take(data, count); };
    }
    // The reader's thread.
    void take(const std::int16_t* data, std::size_t count)
    {
        const std::size_t at = frames.load(std::memory_order_relaxed);
        const std::size_t n = std::min(count, samples.size() / 2 - at);
        std::copy(data, data + n * 2, samples.begin() + static_cast<std::ptrdiff_t>(at * 2));
        frames.store(at + n, std::memory_order_release);
    }
    // Everything played so far has been taken.
    std::size_t now() const
    {
        if (reader) {
            reader->settle();
        }
        return frames.load(std::memory_order_acquire);
    }
};

struct Level {
    double lufs = -HUGE_VAL;
    double truePeakDb = -HUGE_VAL;
};

Level measure(const Capture& capture, std::size_t from, std::size_t to)
{
    Level level;
    ebur128_state* state = ebur128_init(2, 44100, EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK);
    if (state == nullptr || to <= from) {
        return level;
    }
    ebur128_add_frames_short(state, capture.samples.data() + from * 2, to - from);
    ebur128_loudness_global(state, &level.lufs);
    double peak = 0.0;
    for (unsigned c = 0; c < 2; ++c) {
        double channel = 0.0;
        ebur128_true_peak(state, c, &channel);
        peak = std::max(peak, channel);
    }
    level.truePeakDb = peak > 0.0 ? 20.0 * std::log10(peak) : -HUGE_VAL;
    ebur128_destroy(&state);
    return level;
}

bool run(const QString& program, const QStringList& arguments)
{
    return runTool(program, arguments, 60000);
}

bool sox(const QString& out, const QString& effects)
{
    const QStringList head{
        QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-c"),
        QStringLiteral("2"),  QStringLiteral("-b"), QStringLiteral("16"),    out};
    return run(QStringLiteral("sox"), head + effects.split(QLatin1Char(' ')));
}

// A few bars of a tune with chords under it.
bool writeMidi(const QString& path)
{
    QByteArray track;
    const auto event = [&track](std::uint32_t delta, std::initializer_list<int> bytes) {
        std::uint8_t vlq[5];
        int n = 0;
        vlq[n++] = static_cast<std::uint8_t>(delta & 0x7F);
        while ((delta >>= 7) != 0) {
            vlq[n++] = static_cast<std::uint8_t>(0x80 | (delta & 0x7F));
        }
        while (n > 0) {
            track.append(static_cast<char>(vlq[--n]));
        }
        for (const int b : bytes) {
            track.append(static_cast<char>(b));
        }
    };
    event(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});  // 120 bpm
    event(0, {0xC0, 0});
    event(0, {0xC1, 48});
    const int melody[] = {60, 64, 67, 72, 71, 67, 64, 62, 60, 65, 69, 72, 70, 67, 64, 60};
    const int chords[] = {48, 53, 55, 48};
    for (int bar = 0; bar < 4; ++bar) {
        event(0, {0x91, chords[bar], 70});
        event(0, {0x91, chords[bar] + 7, 70});
        for (int beat = 0; beat < 4; ++beat) {
            const int key = melody[bar * 4 + beat];
            event(0, {0x90, key, 100});
            event(96, {0x80, key, 0});
        }
        event(0, {0x81, chords[bar], 0});
        event(0, {0x81, chords[bar] + 7, 0});
    }
    event(0, {0xFF, 0x2F, 0x00});
    QByteArray file("MThd");
    for (const int b : {0, 0, 0, 6, 0, 0, 0, 1, 0, 96}) {
        file.append(static_cast<char>(b));
    }
    file.append("MTrk");
    const auto size = static_cast<std::uint32_t>(track.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        file.append(static_cast<char>((size >> shift) & 0xFF));
    }
    file.append(track);
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(file) == file.size();
}

struct Song {
    const char* name;
    QString path;
};

// The library: every kind of file, a quiet master and a loud one.
std::vector<Song> makeLibrary(const QTemporaryDir& dir)
{
    const auto file = [&dir](const char* name) { return dir.filePath(QString::fromUtf8(name)); };
    const bool made =
        sox(file("a.wav"), QStringLiteral("synth 8 sine 220-440 sine 330-660 pinknoise "
                                          "remix 1,3 2,3 tremolo 3 30 gain -9")) &&
        run(QStringLiteral("lame"), {QStringLiteral("--quiet"), QStringLiteral("--noreplaygain"),
                                     file("a.wav"), file("song.mp3")}) &&
        sox(file("b.wav"), QStringLiteral("synth 8 square 110 sine 550 brownnoise "
                                          "remix 1,3 2,3 tremolo 4 40 gain -14")) &&
        run(QStringLiteral("twolame"),
            {QStringLiteral("--quiet"), file("b.wav"), file("song.mp2")}) &&
        sox(file("quiet.wav"), QStringLiteral("synth 8 sine 440 sine 660 pinknoise "
                                              "remix 1,3 2,3 tremolo 1.5 70 gain -26")) &&
        sox(file("c.wav"), QStringLiteral("synth 8 sawtooth 220 sine 440 whitenoise remix 1,3 2,3 "
                                          "compand 0.01,0.1 -60,-60,-30,-8,0,-2 gain -n -0.1")) &&
        run(QStringLiteral("lame"), {QStringLiteral("--quiet"), QStringLiteral("--noreplaygain"),
                                     file("c.wav"), file("loud.mp3")}) &&
        writeMidi(file("song.mid"));
    if (!made) {
        return {};
    }
    return {{"mp3", file("song.mp3")},
            {"mp2", file("song.mp2")},
            {"wav, quiet master", file("quiet.wav")},
            {"mp3, loud master", file("loud.mp3")},
            {"midi", file("song.mid")}};
}

void pumpUntil(const std::function<bool()>& done)
{
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Plays every song whole. Loaded ahead, a song is measured whole before it
// plays; opened at once, it is measured for a moment and then as it plays.
std::vector<Level> playLibrary(AudioEngine& engine, const Capture& capture,
                               const std::vector<Song>& songs, bool ahead)
{
    std::vector<Level> levels;
    for (const Song& song : songs) {
        bool opened = false;
        QObject guard;
        QObject::connect(&engine.events(), &PlayerEvents::songOpened, &guard,
                         [&opened](const OpenedSong&) { opened = true; });
        if (ahead) {
            engine.preloadNext(song.path, FollowOn::No, 1);
        }
        engine.OpenMPEG(0, song.path, QStringLiteral("MPEGVideo"));
        if (ahead) {
            pumpUntil([&opened] { return opened; });
        }
        const std::size_t from = capture.now();
        engine.PlayMPEG(1, engine.GetTotalframes());
        pumpUntil([&engine] { return engine.AreMPEGAtEnd() == 1; });
        levels.push_back(measure(capture, from, capture.now()));
        engine.CloseMPEG();
    }
    return levels;
}

// A copy of `song` tagged as far quieter than it is, with a low peak.
QString lyingCopy(const QTemporaryDir& dir, const QString& song)
{
    const QString path = dir.filePath(QStringLiteral("lying.mp3"));
    if (!QFile::copy(song, path)) {
        return {};
    }
    TagLib::MPEG::File file(QFile::encodeName(path).constData());
    for (const auto& [key, value] : {std::pair{"REPLAYGAIN_TRACK_GAIN", "+12.00 dB"},
                                     std::pair{"REPLAYGAIN_TRACK_PEAK", "0.100000"}}) {
        auto* frame = new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::Latin1);
        frame->setDescription(key);
        frame->setText(value);
        file.ID3v2Tag(true)->addFrame(frame);
    }
    return file.save(TagLib::MPEG::File::ID3v2) ? path : QString();
}

double spreadOf(const std::vector<Level>& levels)
{
    const auto [low, high] =
        std::minmax_element(levels.begin(), levels.end(),
                            [](const Level& a, const Level& b) { return a.lufs < b.lufs; });
    return high->lufs - low->lufs;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    std::printf("making the library with sox, lame and twolame...\n");
    std::fflush(stdout);
    const std::vector<Song> songs = makeLibrary(dir);
    if (songs.empty()) {
        std::fprintf(stderr, "cannot make the songs (sox, lame and twolame needed)\n");
        return 1;
    }

    // Each pass with an engine of its own and an empty cache.
    const auto options = [&dir](const char* cache) {
        AudioEngine::Options o;
        o.output = AudioEngine::Output::Unpaced;
        o.cacheFolder = dir.filePath(QString::fromUtf8(cache));
        return o;
    };
    Capture madeCapture;
    std::vector<Level> asMade;
    {
        AudioEngine::Options made = options("cache-as-made");
        made.evenLoudness = false;
        AudioEngine engine(made);
        SinkReader reader(engine, madeCapture.sound());
        madeCapture.reader = &reader;
        asMade = playLibrary(engine, madeCapture, songs, false);
    }
    Capture firstCapture;
    std::vector<Level> ahead;
    {
        AudioEngine engine(options("cache-ahead"));
        SinkReader reader(engine, firstCapture.sound());
        firstCapture.reader = &reader;
        engine.SetAutoRepeat(true);
        ahead = playLibrary(engine, firstCapture, songs, true);
    }
    Capture capture;
    AudioEngine engine(options("cache-at-once"));
    SinkReader reader(engine, capture.sound());
    capture.reader = &reader;
    engine.SetAutoRepeat(true);
    const std::vector<Level> atOnce = playLibrary(engine, capture, songs, false);
    std::printf("%-20s %18s %18s %18s\n", "song", "as made", "loaded ahead", "opened at once");
    double music = 0.0;
    for (std::size_t i = 0; i < songs.size(); ++i) {
        std::printf("%-20s %8.2f LUFS %5.1f dBTP %8.2f LUFS %5.1f dBTP %8.2f LUFS %5.1f dBTP\n",
                    songs[i].name, asMade[i].lufs, asMade[i].truePeakDb, ahead[i].lufs,
                    ahead[i].truePeakDb, atOnce[i].lufs, atOnce[i].truePeakDb);
        music += ahead[i].lufs / static_cast<double>(songs.size());
    }

    // The voice alone, utterance after utterance, as the announcer speaks.
    TextToSpeech talk(engine);
    const char* const lines[] = {
        "Welcome to the radio. Here is some music for you.",
        "That was a song from the library, and now the time is twenty past eight.",
        "Tonight's tech headlines are as follows. A new compiler makes old machines faster.",
        "And now, back to the music.",
    };
    std::vector<Level> voice;
    const std::size_t voiceFrom = capture.now();
    for (const char* line : lines) {
        const std::size_t from = capture.now();
        talk.speak(QString::fromUtf8(line));
        pumpUntil([&talk] { return talk.speakingState() == 0; });
        voice.push_back(measure(capture, from, capture.now()));
    }
    const Level allVoice = measure(capture, voiceFrom, capture.now());
    for (std::size_t i = 0; i < voice.size(); ++i) {
        std::printf("voice, utterance %zu: %.2f LUFS %.1f dBTP\n", i + 1, voice[i].lufs,
                    voice[i].truePeakDb);
    }
    std::printf("voice: %.2f LUFS, music: %.2f LUFS\n", allVoice.lufs, music);
    std::printf("voice minus music LU: %.2f\n", allVoice.lufs - music);
    {
        const QString lying = lyingCopy(dir, songs[0].path);
        Capture lyingCapture;
        AudioEngine lyingEngine(options("cache-lying"));
        SinkReader lyingReader(lyingEngine, lyingCapture.sound());
        lyingCapture.reader = &lyingReader;
        const std::vector<Level> level =
            playLibrary(lyingEngine, lyingCapture, {{"mp3, lying tag", lying}}, false);
        std::printf("true peak under a lying tag dBTP: %.2f\n", level[0].truePeakDb);
    }
    std::printf("loudness spread LU (opened at once): %.2f\n", spreadOf(atOnce));
    std::printf("loudness spread LU: %.2f\n", spreadOf(ahead));
    return 0;
}
