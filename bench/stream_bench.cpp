// SPDX-License-Identifier: GPL-3.0-or-later
// What the broadcast costs: CPU per minute of audio encoded and sent to a
// local Icecast server, against the lame tool encoding the same audio; CPU
// while sending in real time to 1 and to 50 listeners (Icecast fans out, so
// the cost must not grow with them); and, where liquidsoap is installed,
// the whole radio against liquidsoap sending the same folder to the same
// server for the same time.
//
//   stream_bench [SECONDS]    (real-time runs, default 20)
#include "audio/AudioFormat.h"
#include "audio/decode/Decoder.h"
#include "audio/decode/DecoderFactory.h"
#include "audio/mix/OutputSink.h"
#include "broadcast/BroadcastAddress.h"
#include "broadcast/BroadcastSender.h"
#include "common/IcecastServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {
constexpr int kRate = audio_format::kRate;
constexpr std::size_t kBlock = 1024;  // frames offered at a time, as the output does

double seconds(const timeval& t)
{
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

double cpuOf(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// CPU seconds a running child has used, from /proc.
double cpuOfProcess(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    // utime and stime are fields 14 and 15 of the line, 12 and 13 after the name.
    if (fields.size() < 13) {
        return 0;
    }
    return (fields.at(11).toDouble() + fields.at(12).toDouble()) /
           static_cast<double>(sysconf(_SC_CLK_TCK));
}

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    return process.waitForFinished(120000) && process.exitCode() == 0;
}

// Three songs of a third of a minute each, music enough for an encoder: a
// sweep and a chord over quiet noise, tagged, as MP3 in `folder`, and the
// whole minute as one wav.
bool makeSongs(const QString& folder, const QString& minuteWav)
{
    const char* voices[3][2] = {{"220-880", "330"}, {"440", "550-110"}, {"196", "294-587"}};
    QStringList wavs;
    for (int i = 0; i < 3; ++i) {
        const QString wav = folder + QStringLiteral("/song%1.wav").arg(i);
        if (!run(QStringLiteral("sox"),
                 {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"),
                  QStringLiteral("-c"), QStringLiteral("2"), QStringLiteral("-b"),
                  QStringLiteral("16"), wav, QStringLiteral("synth"), QStringLiteral("20"),
                  QStringLiteral("sine"), QString::fromLatin1(voices[i][0]), QStringLiteral("sine"),
                  QString::fromLatin1(voices[i][1]), QStringLiteral("pinknoise"),
                  QStringLiteral("gain"), QStringLiteral("-12")})) {
            return false;
        }
        wavs << wav;
        if (!run(QStringLiteral("lame"),
                 {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("192"),
                  QStringLiteral("--tt"), QStringLiteral("Song %1").arg(i + 1),
                  QStringLiteral("--ta"), QStringLiteral("Bench Band"), wav,
                  folder + QStringLiteral("/%1 song.mp3").arg(i + 1)})) {
            return false;
        }
    }
    return run(QStringLiteral("sox"), wavs + QStringList{minuteWav});
}

std::vector<std::int16_t> readPcm(const QString& path)
{
    const DecoderFactory factory(DecoderFactory::defaultSoundFont());
    QString error;
    const std::unique_ptr<Decoder> decoder = factory.open(path, error);
    std::vector<std::int16_t> pcm;
    if (!decoder) {
        return pcm;
    }
    std::vector<std::int16_t> block(4096 * 2);
    for (std::size_t got; (got = decoder->read(block.data(), 4096)) > 0;) {
        pcm.insert(pcm.end(), block.begin(), block.begin() + got * 2);
    }
    return pcm;
}

BroadcastAddress addressOf(const IcecastServer& server, const QString& mount)
{
    return std::get<BroadcastAddress>(BroadcastAddress::parse(server.sourceAddress(mount)));
}

// A sender on the air at `mount`; null when it does not get there in 10 s.
std::unique_ptr<BroadcastSender> onAir(const IcecastServer& server, const QString& mount,
                                       std::atomic<int>& state)
{
    BroadcastSender::Links links;
    links.status = [&state](const BroadcastStatus& status) {
        state.store(static_cast<int>(status.state), std::memory_order_release);
    };
    links.outputPaused = [] { return false; };
    auto sender = std::make_unique<BroadcastSender>(addressOf(server, mount),
                                                    QStringLiteral("Bench Radio"), links);
    sender->start();
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (state.load(std::memory_order_acquire) !=
           static_cast<int>(BroadcastStatus::State::OnAir)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return nullptr;
        }
        std::this_thread::sleep_for(10ms);
    }
    return sender;
}

// Offers the PCM to the sender's sink as the output would, as fast as the
// sender takes it (paced = false) or in real time; returns the process's
// CPU seconds meanwhile.
double feed(BroadcastSender& sender, const std::vector<std::int16_t>& pcm, std::size_t frames,
            bool paced)
{
    OutputSink& sink = *sender.sink();
    const double before = cpuOf(RUSAGE_SELF);
    const auto start = std::chrono::steady_clock::now();
    const std::size_t length = pcm.size() / 2;
    for (std::size_t at = 0; at < frames; at += kBlock) {
        const std::size_t offset = at % length;
        const std::size_t count = std::min({kBlock, length - offset, frames - at});
        if (paced) {
            std::this_thread::sleep_until(
                start + std::chrono::microseconds(static_cast<long long>(at) * 1000000 / kRate));
        } else {
            while (sink.capacity() - sink.queuedFrames() < count) {
                std::this_thread::sleep_for(2ms);
            }
        }
        sink.offer(pcm.data() + offset * 2, count);
    }
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (sink.queuedFrames() > 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    if (sink.droppedFrames() > 0) {
        std::printf("  (the sink dropped %llu frames)\n",
                    static_cast<unsigned long long>(sink.droppedFrames()));
    }
    return cpuOf(RUSAGE_SELF) - before;
}

// `count` listeners in processes of their own, reading the mount.
std::vector<std::unique_ptr<QProcess>> listeners(const IcecastServer& server, const QString& mount,
                                                 int count)
{
    std::vector<std::unique_ptr<QProcess>> all;
    for (int i = 0; i < count; ++i) {
        auto curl = std::make_unique<QProcess>();
        curl->start(QStringLiteral("curl"),
                    {QStringLiteral("-s"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                     QStringLiteral("http://127.0.0.1:%1%2").arg(server.port()).arg(mount)});
        curl->waitForStarted(5000);
        all.push_back(std::move(curl));
    }
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (server.listenersOf(mount) < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
    }
    std::printf("  listeners connected: %d\n", server.listenersOf(mount));
    return all;
}

void stopAll(std::vector<std::unique_ptr<QProcess>>& processes)
{
    for (auto& process : processes) {
        process->kill();
        process->waitForFinished(5000);
    }
    processes.clear();
}

// CPU seconds `program` uses in `time` once it has run 5 s (its start-up,
// the type-checking of a script, left out); -1 when it did not start or
// `mount` was not on the air at the end.
double cpuOfRun(const QString& program, const QStringList& arguments,
                const QProcessEnvironment& environment, std::chrono::seconds time,
                const IcecastServer& server, const QString& mount)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(10000)) {
        return -1;
    }
    std::this_thread::sleep_for(5s);
    const double started = cpuOfProcess(process.processId());
    std::this_thread::sleep_for(time);
    const double cpu =
        server.listenersOf(mount) >= 0 ? cpuOfProcess(process.processId()) - started : -1.0;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
    return cpu;
}

void compareWithLiquidsoap(const IcecastServer& server, const QString& folder,
                           const QString& scratch, std::chrono::seconds time)
{
    const QString liquidsoap = QStandardPaths::findExecutable(QStringLiteral("liquidsoap"));
    if (liquidsoap.isEmpty()) {
        std::printf("liquidsoap is not installed: no comparison\n");
        return;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), scratch);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), scratch + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), scratch + QStringLiteral("/cache"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), scratch + QStringLiteral("/data"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));

    const QString radio = QCoreApplication::applicationDirPath() + QStringLiteral("/tolvar-radio");
    const double ours = cpuOfRun(radio,
                                 {QStringLiteral("--no-speaker"), QStringLiteral("--broadcast"),
                                  server.sourceAddress(QStringLiteral("/radio.mp3")), folder},
                                 environment, time, server, QStringLiteral("/radio.mp3"));
    const QString script = scratch + QStringLiteral("/radio.liq");
    QFile file(script);
    file.open(QIODevice::WriteOnly);
    file.write(QStringLiteral("settings.init.allow_root.set(true)\n"
                              "settings.log.stdout.set(false)\n"
                              "settings.log.file.set(false)\n"
                              "output.icecast(%mp3(bitrate=128), host=\"127.0.0.1\", port=%1,\n"
                              "  password=\"%2\", mount=\"/liquidsoap.mp3\",\n"
                              "  mksafe(normalize(playlist(\"%3\"))))\n")
                   .arg(server.port())
                   .arg(QString::fromLatin1(IcecastServer::kSourcePassword), folder)
                   .toUtf8());
    file.close();
    const double theirs = cpuOfRun(liquidsoap, {script}, environment, time, server,
                                   QStringLiteral("/liquidsoap.mp3"));
    const double wall = static_cast<double>(time.count());
    std::printf(
        "whole radio, --no-speaker --broadcast, %lld s after its start: %.2f s CPU (%.2f %% of a "
        "core)\n",
        static_cast<long long>(time.count()), ours, ours / wall * 100);
    std::printf(
        "liquidsoap, same folder and server, %lld s after its start: %.2f s CPU (%.2f %% of a "
        "core)\n",
        static_cast<long long>(time.count()), theirs, theirs / wall * 100);
    if (ours > 0 && theirs > 0) {
        std::printf("stream cpu vs liquidsoap: %.2f\n", ours / theirs);
    } else {
        std::printf("stream cpu vs liquidsoap: not measured (a stream was not on the air)\n");
    }
}
}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const auto realTime = std::chrono::seconds(argc > 1 ? std::max(5, std::atoi(argv[1])) : 20);
    QTemporaryDir scratch;
    const QString folder = scratch.filePath(QStringLiteral("music"));
    QDir().mkpath(folder);
    const QString minuteWav = scratch.filePath(QStringLiteral("minute.wav"));
    if (!makeSongs(folder, minuteWav)) {
        std::fprintf(stderr, "stream_bench: sox or lame failed\n");
        return 1;
    }
    for (const QString& wav : QDir(folder).entryList({QStringLiteral("*.wav")})) {
        QFile::remove(folder + QLatin1Char('/') + wav);
    }
    const std::vector<std::int16_t> minute = readPcm(minuteWav);
    IcecastServer server;
    if (!server.start()) {
        std::fprintf(stderr, "stream_bench: icecast2 did not start\n%s\n",
                     qPrintable(server.errorLog()));
        return 1;
    }
    std::printf("one minute of audio (%zu frames), 128 kbps MP3 to icecast2 on 127.0.0.1:%d\n",
                minute.size() / 2, server.port());

    std::atomic<int> state{0};
    {
        const std::unique_ptr<BroadcastSender> sender =
            onAir(server, QStringLiteral("/bench.mp3"), state);
        if (!sender) {
            std::fprintf(stderr, "stream_bench: the sender did not get on the air\n");
            return 1;
        }
        const double cpu = feed(*sender, minute, minute.size() / 2, false);
        std::printf("broadcast cpu per audio minute: %.3f s (%.2f %% of a core in real time)\n",
                    cpu, cpu / 60 * 100);
        const double lameBefore = cpuOf(RUSAGE_CHILDREN);
        run(QStringLiteral("lame"),
            {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("128"), minuteWav,
             scratch.filePath(QStringLiteral("lame.mp3"))});
        const double lame = cpuOf(RUSAGE_CHILDREN) - lameBefore;
        std::printf(
            "lame tool (its default quality), same minute: %.3f s; broadcast / lame: %.2f\n", lame,
            lame > 0 ? cpu / lame : 0.0);
    }

    const std::size_t frames = static_cast<std::size_t>(realTime.count()) * kRate;
    for (const int count : {1, 50}) {
        std::atomic<int> liveState{0};
        const QString mount = QStringLiteral("/live%1.mp3").arg(count);
        const std::unique_ptr<BroadcastSender> sender = onAir(server, mount, liveState);
        if (!sender) {
            std::fprintf(stderr, "stream_bench: the sender did not get on the air\n");
            return 1;
        }
        std::vector<std::unique_ptr<QProcess>> tuned = listeners(server, mount, count);
        const double cpu = feed(*sender, minute, frames, true);
        std::printf("real time, %d listener%s: %.3f s CPU in %lld s (%.2f %% of a core)\n", count,
                    count == 1 ? "" : "s", cpu, static_cast<long long>(realTime.count()),
                    cpu / static_cast<double>(realTime.count()) * 100);
        stopAll(tuned);
    }
    compareWithLiquidsoap(server, folder, scratch.path(), realTime);
    return 0;
}
