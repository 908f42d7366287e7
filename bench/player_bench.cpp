// SPDX-License-Identifier: GPL-3.0-or-later
// Plays an mp3 through the whole player library into a null output as fast
// as it decodes, decodes the same file with libmpg123 alone, and compares the
// CPU time of both, with songs as they are and with loudness evened. Then it
// plays the song as the program does (loudness evened from a measurement
// made ahead, paced in real time through the mixer into an output that
// discards, no sink) and tells that per audio minute and per thread: the
// last line compares it with libmpg123. Also measures how long OpenMPEG
// holds its caller, how long the open takes on the loader, and how soon
// PlayMPEG is heard.
//
//   player_bench [file.mp3] [seconds played in real time, default 40]
//                            (without a file, a 5-minute 128 kbps mp3 is made
//                             with sox and lame)
#include "RunTool.h"
#include "SinkReader.h"
#include "ThreadCpu.h"
#include "audio/AudioEngine.h"
#include "audio/PlayerEvents.h"

#include <mpg123.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Five minutes of a moving chord with some noise, so the encoder has work.
QString makeTestFile(const QTemporaryDir& dir)
{
    const QString wav = dir.filePath(QStringLiteral("bench.wav"));
    const QString mp3 = dir.filePath(QStringLiteral("bench.mp3"));
    std::printf("making a 5-minute 128 kbps mp3 with sox and lame...\n");
    std::fflush(stdout);
    if (!runTool(QStringLiteral("sox"), {QStringLiteral("-n"),        QStringLiteral("-r"),
                                         QStringLiteral("44100"),     QStringLiteral("-c"),
                                         QStringLiteral("2"),         QStringLiteral("-b"),
                                         QStringLiteral("16"),        wav,
                                         QStringLiteral("synth"),     QStringLiteral("300"),
                                         QStringLiteral("sine"),      QStringLiteral("220-880"),
                                         QStringLiteral("sine"),      QStringLiteral("330-660"),
                                         QStringLiteral("pinknoise"), QStringLiteral("remix"),
                                         QStringLiteral("1,3"),       QStringLiteral("2,3"),
                                         QStringLiteral("gain"),      QStringLiteral("-6")}) ||
        !runTool(QStringLiteral("lame"), {QStringLiteral("--quiet"), QStringLiteral("-b"),
                                          QStringLiteral("128"), wav, mp3})) {
        return {};
    }
    return mp3;
}

struct FirstSound {
    std::atomic<bool> armed{false};
    std::atomic<std::int64_t> firstNs{0};
    std::atomic<std::uint64_t> frames{0};
};

// Notes when the first sound after arming comes out of the output's sink
// (woken by the output callback that rendered it).
void noteSound(FirstSound* t, const std::int16_t* samples, std::size_t count)
{
    t->frames.fetch_add(count, std::memory_order_relaxed);
    if (!t->armed.load(std::memory_order_acquire)) {
        return;
    }
    for (std::size_t i = 0; i < count * 2; ++i) {
        if (samples[i] != 0) {
            t->firstNs.store(Clock::now().time_since_epoch().count(), std::memory_order_release);
            t->armed.store(false, std::memory_order_release);
            return;
        }
    }
}

SinkReader::OnSound heardBy(FirstSound& probe)
{
    return [&probe](const std::int16_t* samples, std::size_t count) {
        noteSound(&probe, samples, count);
    };
}

double millisSince(Clock::time_point start, std::int64_t ns)
{
    return static_cast<double>(ns - start.time_since_epoch().count()) / 1e6;
}

void waitForEnd(AudioEngine& engine)
{
    while (engine.AreMPEGAtEnd() != 1) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Open {
    QString error;
    double callMs = 0.0;     // OpenMPEG until it returned
    double callCpuMs = 0.0;  // the caller's CPU time in it
    double readyMs = 0.0;    // until the song was open (length known)
};

// Opens on the engine and runs the event loop until it says how that went.
Open openAndWait(AudioEngine& engine, const QString& path)
{
    Open open;
    bool answered = false;
    QObject guard;
    QObject::connect(&engine.events(), &PlayerEvents::songOpened, &guard,
                     [&](const OpenedSong&) { answered = true; });
    QObject::connect(&engine.events(), &PlayerEvents::songFailed, &guard,
                     [&](const QString&, const QString& error) {
                         open.error = error;
                         answered = true;
                     });
    const auto start = Clock::now();
    const double cpuStart = threadCpuMs();
    open.error = engine.OpenMPEG(0, path, QStringLiteral("MPEGVideo"));
    open.callCpuMs = threadCpuMs() - cpuStart;
    open.callMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    while (open.error.isEmpty() && !answered) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    open.readyMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return open;
}

// The mean time from PlayMPEG to the first sound out of the output, over
// `rounds` plays of 0.3 s from 10 s into the song on, each after `silence`
// (a little longer each round, so that plays start at other points of the
// device's callback period).
double meanFirstSoundMs(const QString& path, const AudioEngine::Options& options, int rounds,
                        std::chrono::milliseconds silence)
{
    FirstSound probe;
    AudioEngine engine(options);
    SinkReader reader(engine, heardBy(probe));
    openAndWait(engine, path);
    const auto frameAtMs = [](std::int64_t ms) {
        return static_cast<std::int32_t>(player_frame::offsetAtMs(ms) + 1);
    };
    double total = 0.0;
    for (int i = 0; i < rounds; ++i) {
        engine.StopMPEG();
        std::this_thread::sleep_for(silence + std::chrono::milliseconds(7 * i));
        probe.armed = true;
        const auto start = Clock::now();
        engine.PlayMPEG(frameAtMs(10000 + i * 1000), frameAtMs(10300 + i * 1000));
        while (probe.armed.load()) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        total += millisSince(start, probe.firstNs.load());
    }
    return total / rounds;
}

// CPU seconds for playing the whole song through the engine, unpaced.
double playWholeCpu(AudioEngine& engine, FirstSound& probe, double* wallSeconds)
{
    const double cpuStart = cpuSeconds();
    probe.armed = true;
    const auto playStart = Clock::now();
    engine.PlayMPEG(1, engine.GetTotalframes());
    waitForEnd(engine);
    *wallSeconds = std::chrono::duration<double>(Clock::now() - playStart).count();
    return cpuSeconds() - cpuStart;
}

// Decodes the whole file; returns the audio length in seconds.
double decodeWithMpg123(const QString& path)
{
    mpg123_init();
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    mpg123_format_none(handle);
    mpg123_format(handle, 44100, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    double seconds = 0.0;
    if (mpg123_open(handle, path.toLocal8Bit().constData()) == MPG123_OK) {
        std::vector<unsigned char> buffer(2048 * 4);
        std::size_t total = 0;
        for (;;) {
            std::size_t done = 0;
            const int code = mpg123_read(handle, buffer.data(), buffer.size(), &done);
            total += done;
            if (code != MPG123_OK && code != MPG123_NEW_FORMAT) {
                break;
            }
        }
        seconds = static_cast<double>(total) / 4.0 / 44100.0;
    }
    mpg123_close(handle);
    mpg123_delete(handle);
    return seconds;
}

// Plays `seconds` of the song as the program plays it; returns the CPU
// seconds per audio minute and prints them per thread.
double asTheProgramPlays(const QString& path, double seconds)
{
    QTemporaryDir cache;
    AudioEngine::Options options;
    options.output = AudioEngine::Output::SilentClock;
    options.cacheFolder = cache.path();
    AudioEngine engine(options);
    engine.SetAutoRepeat(true);
    // Measured ahead, as the song after the playing one is.
    engine.preloadNext(path, FollowOn::No, 1);
    const Open open = openAndWait(engine, path);
    if (!open.error.isEmpty()) {
        return 0.0;
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const auto before = threadCpuOf();
    const double cpuStart = cpuSeconds();
    const auto start = Clock::now();
    engine.PlayMPEG(1, engine.GetTotalframes());
    // The caller's thread sleeps in its event loop, as the program's does.
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    QObject::connect(&engine.events(), &PlayerEvents::songEnded, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu = cpuSeconds() - cpuStart;
    const double played = std::chrono::duration<double>(Clock::now() - start).count();
    const auto after = threadCpuOf();
    engine.StopMPEG();
    const double minutes = played / 60.0;
    std::printf("as the program plays (evened, real time, %.0f s): %.4f CPU s per audio minute\n",
                played, cpu / minutes);
    forEachThreadSince(before, after,
                       [minutes](const QString& tid, const QString& name, double used) {
                           std::printf("  thread %s (%s): %.4f CPU s per audio minute\n",
                                       tid.toLocal8Bit().constData(),
                                       name.toLocal8Bit().constData(), used / minutes);
                       });
    return cpu / minutes;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : makeTestFile(dir);
    if (path.isEmpty()) {
        std::fprintf(stderr, "cannot make the test file (sox and lame needed)\n");
        return 1;
    }

    FirstSound probe;
    AudioEngine::Options options;
    options.output = AudioEngine::Output::Unpaced;
    options.evenLoudness = false;
    double engineCpu = 0.0;
    double evenedCpu = 0.0;
    double minutes = 0.0;
    double firstSampleMs = 0.0;
    {
        AudioEngine engine(options);
        SinkReader reader(engine, heardBy(probe));
        const Open open = openAndWait(engine, path);
        if (!open.error.isEmpty()) {
            std::fprintf(stderr, "%s\n", open.error.toLocal8Bit().constData());
            return 1;
        }
        minutes = engine.GetTotalframes() / (60.0 * player_frame::kPerSecond);
        std::printf("file: %s (%.2f min)\n", path.toLocal8Bit().constData(), minutes);
        std::printf("OpenMPEG returns after: %.2f ms (%.3f ms CPU of the caller)\n", open.callMs,
                    open.callCpuMs);
        std::printf("open with the length scan, on the loader: %.1f ms\n", open.readyMs);
        double wall = 0.0;
        const auto playStart = Clock::now();
        engineCpu = playWholeCpu(engine, probe, &wall);
        firstSampleMs = millisSince(playStart, probe.firstNs.load());
        std::printf("engine: %.3f CPU s for the whole song (%.2f s wall, %.0fx real time)\n",
                    engineCpu, wall, minutes * 60.0 / wall);
    }
    {
        // The same with loudness evened: opened at once it is measured while
        // it plays (a song loaded ahead is measured before).
        AudioEngine::Options evened = options;
        evened.evenLoudness = true;
        AudioEngine engine(evened);
        SinkReader reader(engine, heardBy(probe));
        const Open open = openAndWait(engine, path);
        std::printf("open with the length scan and a first loudness measure: %.1f ms\n",
                    open.readyMs);
        double wall = 0.0;
        evenedCpu = playWholeCpu(engine, probe, &wall);
        std::printf("engine, loudness evened: %.3f CPU s for the whole song (%.2f s wall)\n",
                    evenedCpu, wall);
    }

    // How soon a PlayMPEG is heard at a real-time pace, through SDL's dummy
    // driver (a sound card's callback period); then the same once the output
    // has gone to sleep (closed the device) after a while of silence, so the
    // play has to open it again.
    constexpr int kRounds = 10;
    constexpr int kWokenRounds = 6;
    qputenv("SDL_AUDIODRIVER", "dummy");
    const double deviceMs =
        meanFirstSoundMs(path, AudioEngine::Options{}, kRounds, std::chrono::milliseconds(100));
    AudioEngine::Options sleepy;
    sleepy.sleepAfter = std::chrono::milliseconds(200);
    const double wokenMs =
        meanFirstSoundMs(path, sleepy, kWokenRounds, std::chrono::milliseconds(600));

    const double mpgCpuStart = cpuSeconds();
    const double seconds = decodeWithMpg123(path);
    const double mpgCpu = cpuSeconds() - mpgCpuStart;

    const double realTimeSeconds = argc > 2 ? std::atof(argv[2]) : 40.0;
    const double programPerMinute = asTheProgramPlays(path, realTimeSeconds);

    const double enginePerMinute = engineCpu / minutes;
    const double mpgPerMinute = mpgCpu / (seconds / 60.0);
    std::printf("engine: %.4f CPU s per audio minute\n", enginePerMinute);
    std::printf("engine, loudness evened: %.4f CPU s per audio minute\n", evenedCpu / minutes);
    std::printf("mpg123: %.4f CPU s per audio minute\n", mpgPerMinute);
    std::printf("first sample after PlayMPEG, null output: %.2f ms\n", firstSampleMs);
    std::printf(
        "first sample after PlayMPEG, SDL dummy device woken from sleep (mean of %d): "
        "%.2f ms\n",
        kWokenRounds, wokenMs);
    std::printf("first sample after PlayMPEG, SDL dummy device (mean of %d): %.2f ms\n", kRounds,
                deviceMs);
    std::printf("engine/mpg123 cpu ratio, unpaced, as made: %.2f\n",
                enginePerMinute / mpgPerMinute);
    std::printf("engine/mpg123 cpu ratio: %.2f\n", programPerMinute / mpgPerMinute);
    return 0;
}
