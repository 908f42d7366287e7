// SPDX-License-Identifier: GPL-3.0-or-later
// The radio as a whole, offscreen with the silent clock output: start-up time,
// CPU use idle and playing, the longest GUI-thread stall while the sequencer
// waits for the voice, and the silence between two songs with nothing said
// between them (the mean over every join, joins without silence counted as 0),
// with FlushBack on and off. Last, the program itself, paused and stopped, on
// SDL's disk driver: what CPU it takes while nothing is heard.
#include "RunningProgram.h"
#include "SinkReader.h"
#include "announcer/RadioAnnouncer.h"
#include "audio/AudioEngine.h"
#include "base/RandomSource.h"
#include "mainwindow/Tolvar.h"
#include "playback/AcceptedPlaylist.h"
#include "playback/Sequencer.h"
#include "settings/RadioSettings.h"
#include "speech/TextToSpeech.h"

#include <sys/resource.h>
#include <time.h>
#include <QApplication>
#include <QDataStream>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>

using namespace std::chrono_literals;

namespace {
constexpr int kRate = 44100;

// A 16-bit stereo wav of a tone held above zero, so any zero frame in the
// output is silence between songs, never a zero crossing.
bool writeTone(const QString& path, double seconds, double hz)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const auto frames = static_cast<quint32>(seconds * kRate);
    const quint32 dataBytes = frames * 4;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(2) << quint32(kRate) << quint32(kRate * 4)
        << quint16(4) << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    for (quint32 i = 0; i < frames; ++i) {
        const auto sample = static_cast<qint16>(6000 + 3000 * std::sin(2 * M_PI * hz * i / kRate));
        out << sample << sample;
    }
    return out.status() == QDataStream::Ok;
}

// Sees every output block on the output thread and notes each run of silent
// frames that has music on both sides: the gaps between songs. While nothing
// is to be heard the output pauses and takes no blocks; such a pause inside a
// silent run counts with its length in time.
struct GapMeter {
    static constexpr std::size_t kMaxGaps = 64;
    std::atomic<bool> armed{false};
    std::array<std::uint64_t, kMaxGaps> gaps{};
    std::array<std::uint64_t, kMaxGaps> gapAt{};  // music frames heard before it
    std::atomic<std::size_t> gapCount{0};
    // The sink reader only.
    bool heardMusic = false;
    std::uint64_t silentRun = 0;
    std::uint64_t musicFrames = 0;
    std::chrono::steady_clock::time_point lastBlock{};
    std::size_t lastCount = 0;

    // On the output sink's reader, woken by every block the output renders.
    void take(const std::int16_t* frames, std::size_t count)
    {
        GapMeter* self = this;
        const auto now = std::chrono::steady_clock::now();
        const auto since = now - self->lastBlock;
        const auto blockTime = std::chrono::nanoseconds(self->lastCount * 1000000000LL / kRate);
        self->lastBlock = now;
        self->lastCount = count;
        if (!self->armed.load(std::memory_order_acquire)) {
            self->heardMusic = false;
            self->silentRun = 0;
            self->musicFrames = 0;
            return;
        }
        // A pause comes only after the music has stopped.
        if (self->heardMusic && self->silentRun > 0 && since > 3 * blockTime) {
            const auto paused =
                std::chrono::duration_cast<std::chrono::nanoseconds>(since - blockTime);
            self->silentRun += static_cast<std::uint64_t>(paused.count()) * kRate / 1000000000LL;
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (frames[2 * i] == 0 && frames[2 * i + 1] == 0) {
                ++self->silentRun;
                continue;
            }
            if (self->heardMusic && self->silentRun > 0) {
                self->note(self->silentRun);
            }
            self->heardMusic = true;
            self->silentRun = 0;
            ++self->musicFrames;
        }
    }

    void note(std::uint64_t frames)
    {
        const std::size_t n = gapCount.load(std::memory_order_relaxed);
        if (n < kMaxGaps) {
            gaps[n] = frames;
            gapAt[n] = musicFrames;
            gapCount.store(n + 1, std::memory_order_release);
        }
    }
};

double cpuSeconds(int who = RUSAGE_SELF)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void runEventsFor(std::chrono::milliseconds duration)
{
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

bool runEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeout.count()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct CpuUse {
    double process;    // % of one core, every thread
    double guiThread;  // % of one core, this thread alone
};

CpuUse cpuUseOver(std::chrono::milliseconds duration)
{
    const double processBefore = cpuSeconds(RUSAGE_SELF);
    const double threadBefore = cpuSeconds(RUSAGE_THREAD);
    QElapsedTimer wall;
    wall.start();
    runEventsFor(duration);
    const double seconds = wall.nsecsElapsed() / 1e9;
    return {100.0 * (cpuSeconds(RUSAGE_SELF) - processBefore) / seconds,
            100.0 * (cpuSeconds(RUSAGE_THREAD) - threadBefore) / seconds};
}

struct ProgramCpuUse {
    double percent = 0;
    double seconds = 0;      // CPU seconds over the stretch
    double tickSeconds = 0;  // the same by /proc/PID/stat's clock ticks
};

ProgramCpuUse programCpuOver(const RunningProgram& program, std::chrono::milliseconds duration)
{
    const long long nsBefore = program.threadsCpuNs();
    const double ticksBefore = program.processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runEventsFor(duration);
    const double seconds = (program.threadsCpuNs() - nsBefore) / 1e9;
    return {100.0 * seconds / (wall.nsecsElapsed() / 1e9), seconds,
            program.processCpuSeconds() - ticksBefore};
}

// The program itself on SDL's disk driver writing to /dev/null (a sound
// card's pace without one), stopped or paused for 30 s once it has had time
// to settle.
struct IdleProgramCpu {
    bool measured = false;
    ProgramCpuUse paused;
    ProgramCpuUse stopped;
};

IdleProgramCpu idleProgramCpu(const QString& song)
{
    constexpr auto kSettle = 7s;
    constexpr auto kStretch = 30s;
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    extra.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("disk"));
    extra.insert(QStringLiteral("SDL_DISKAUDIOFILE"), QStringLiteral("/dev/null"));
    // Another build of the program can be measured the same way.
    const QString binary =
        qEnvironmentVariable("TOLVAR_RADIO_PROGRAM", QStringLiteral(TOLVAR_RADIO_PROGRAM));
    RunningProgram program(binary, {song}, extra);
    IdleProgramCpu result;
    if (!program.running() || !program.waitForStatus(QStringLiteral("Playing"), 20s)) {
        return result;
    }
    // Told `command`, once it says `status` and has settled.
    const auto measureAfter = [&](const QString& command,
                                  const QString& status) -> std::optional<ProgramCpuUse> {
        program.ask({command});
        if (!program.waitForStatus(status, 10s)) {
            return std::nullopt;
        }
        runEventsFor(kSettle);
        return programCpuOver(program, kStretch);
    };
    runEventsFor(1s);
    const auto paused = measureAfter(QStringLiteral("pause"), QStringLiteral("Paused"));
    if (!paused) {
        return result;
    }
    program.ask({QStringLiteral("play")});
    runEventsFor(1s);
    const auto stopped = measureAfter(QStringLiteral("stop"), QStringLiteral("Stopped"));
    if (!stopped) {
        return result;
    }
    result.measured = program.running();
    result.paused = *paused;
    result.stopped = *stopped;
    return result;
}

void printCpu(const char* what, const CpuUse& use)
{
    std::printf("cpu %s %% (10 s): %.2f (GUI thread %.2f)\n", what, use.process, use.guiThread);
}

}  // namespace

int main(int argc, char** argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);

    // Keep away from the user's own settings.
    QTemporaryDir work;
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, work.path());

    GapMeter gap;
    AudioEngine::Options options;
    options.output = AudioEngine::Output::SilentClock;
    RadioSettings settings;
    AcceptedPlaylist playlist;
    RandomSource random;
    AudioEngine engine(options);
    SinkReader reader(
        engine, [&gap](const std::int16_t* frames, std::size_t count) { gap.take(frames, count); });
    TextToSpeech talk(engine);
    RadioAnnouncer announcer(settings, random, talk);
    Sequencer sequencer(settings, playlist, random, engine, talk, announcer);
    Tolvar window(settings, random, sequencer, engine, talk);
    window.Form_Load();
    window.show();
    runEventsUntil([&] { return window.windowHandle() && window.windowHandle()->isExposed(); }, 5s);
    const double startupMs = sinceStart.nsecsElapsed() / 1e6;
    std::printf("start-up to window shown ms: %.1f\n", startupMs);

    const CpuUse idle = cpuUseOver(10s);
    printCpu("idle", idle);
    std::printf("output paused while idle: %s\n", engine.outputPaused() ? "yes" : "no");
    std::printf("cpu idle %%: %.2f\n", idle.process);

    const QString longSong = work.filePath(QStringLiteral("long.wav"));
    const QString first = work.filePath(QStringLiteral("first.wav"));
    const QString second = work.filePath(QStringLiteral("second.wav"));
    if (!writeTone(longSong, 13.0, 440) || !writeTone(first, 1.0, 330) ||
        !writeTone(second, 1.0, 550)) {
        std::fprintf(stderr, "cannot write the test songs\n");
        return 1;
    }
    settings.FlushBack = false;
    settings.Loops = false;
    playlist.accept({longSong});
    sequencer.PlayIt();
    runEventsFor(500ms);
    printCpu("playing", cpuUseOver(10s));
    window.Commands_Click(3);

    // The longest pause of the GUI thread from a song end that brings the
    // time announcement until the next song has started.
    settings.Loops = true;
    settings.NowTime = true;
    settings.NowNews = false;
    settings.ManyTime = 1;
    playlist.accept({first, second});
    // On a busy machine the thread may also just not be scheduled, so the
    // GUI thread's own CPU time over the same stretch is noted beside it.
    QElapsedTimer sinceTick;
    double cpuAtTick = threadCpuMs();
    double longestStallMs = 0;
    double busyInLongestMs = 0;
    double longestBusyMs = 0;
    bool measuring = false;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const double cpuNow = threadCpuMs();
        if (measuring) {
            const double stallMs = sinceTick.nsecsElapsed() / 1e6;
            if (stallMs > longestStallMs) {
                longestStallMs = stallMs;
                busyInLongestMs = cpuNow - cpuAtTick;
            }
            longestBusyMs = std::max(longestBusyMs, cpuNow - cpuAtTick);
        }
        cpuAtTick = cpuNow;
        sinceTick.restart();
    });
    sinceTick.start();
    ticker.start();
    sequencer.PlayIt();
    runEventsFor(700ms);
    measuring = true;
    const bool waited = runEventsUntil([&] { return sequencer.waitingForVoice(); }, 5s);
    const bool resumed = runEventsUntil(
        [&] { return !sequencer.waitingForVoice() && playlist.SongIndex() == 2; }, 30s);
    measuring = false;
    ticker.stop();
    if (!waited || !resumed) {
        std::fprintf(stderr, "the announcement wait did not happen as planned\n");
    }
    std::printf("longest GUI busy stretch while waiting ms: %.1f\n", longestBusyMs);
    std::printf("longest GUI stall while waiting for the voice ms: %.1f (busy %.1f of it)\n",
                longestStallMs, busyInLongestMs);
    window.Commands_Click(3);
    runEventsUntil([&] { return talk.speakingState() == 0; }, 30s);

    // Songs back to back with nothing said in between. Their lengths are no
    // whole number of output blocks, so the ends fall anywhere in a block.
    QStringList shortSongs;
    for (int i = 0; i < 9; ++i) {
        const QString path = work.filePath(QStringLiteral("short%1.wav").arg(i));
        writeTone(path, 0.5 + 0.0123 * i, 300 + 40 * i);
        shortSongs << path;
    }
    settings.Loops = false;
    // The mean silence over every join, with FlushBack on (as a fresh profile
    // has it) and off.
    const auto joinGapMs = [&](bool flushBack) {
        gap.gapCount.store(0);
        settings.FlushBack = flushBack;
        playlist.accept(shortSongs);
        gap.armed.store(true);
        sequencer.PlayIt();
        runEventsUntil([&] { return playlist.SongIndex() == shortSongs.size(); }, 30s);
        runEventsFor(300ms);
        gap.armed.store(false);
        window.Commands_Click(3);
        runEventsFor(100ms);
        const std::size_t count = gap.gapCount.load(std::memory_order_acquire);
        double sum = 0;
        double longest = 0;
        double shortest = count > 0 ? 1e9 : 0;
        for (std::size_t i = 0; i < count; ++i) {
            const double ms = 1000.0 * static_cast<double>(gap.gaps[i]) / kRate;
            sum += ms;
            longest = std::max(longest, ms);
            shortest = std::min(shortest, ms);
        }
        const auto joins = static_cast<double>(shortSongs.size() - 1);
        std::printf(
            "song joins, flushback %s: %d, with silence: %zu, shortest %.1f ms, "
            "longest %.1f ms\n",
            flushBack ? "on" : "off", static_cast<int>(joins), count, shortest, longest);
        for (std::size_t i = 0; i < count; ++i) {
            std::printf("  silence %zu after %.3f s of music: %.1f ms\n", i + 1,
                        static_cast<double>(gap.gapAt[i]) / kRate,
                        1000.0 * static_cast<double>(gap.gaps[i]) / kRate);
        }
        return sum / joins;
    };
    const double flushedGap = joinGapMs(true);
    const double plainGap = joinGapMs(false);

    const QString idleSong = work.filePath(QStringLiteral("idle.wav"));
    writeTone(idleSong, 20.0, 440);
    const IdleProgramCpu idleCpu = idleProgramCpu(idleSong);
    if (!idleCpu.measured) {
        std::fprintf(stderr, "the program could not be run idle (dbus-daemon, playerctl)\n");
    }
    std::printf("program paused, disk driver, 30 s: %.4f CPU s (%.2f by clock ticks)\n",
                idleCpu.paused.seconds, idleCpu.paused.tickSeconds);
    std::printf("program stopped, disk driver, 30 s: %.4f CPU s (%.2f by clock ticks)\n",
                idleCpu.stopped.seconds, idleCpu.stopped.tickSeconds);
    std::printf("cpu stopped %%: %.3f\n", idleCpu.stopped.percent);
    std::printf("cpu paused %%: %.3f\n", idleCpu.paused.percent);
    std::printf("song gap ms, flushback on: %.1f\n", flushedGap);
    std::printf("song gap ms: %.1f\n", plainGap);
    return 0;
}
