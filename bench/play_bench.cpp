// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program playing a folder of songs, beside mpv playing the same
// folder, in the same run: CPU of one core and peak memory of each over the
// same stretch. The radio runs on a fresh profile with nothing to announce
// between songs, its loudness cache filled beforehand, its sound going to
// SDL's disk driver into /dev/null; mpv plays to its null output, in real
// time as well. The radio's figures are also given per thread. Without mpv
// only the radio's figures are given.
//
//   play_bench [folder] [seconds, default 60]   (without a folder, three
//              60 s songs, two mp3 and one mp2, are made with sox, lame and
//              twolame)
#include "RunTool.h"
#include "ThreadCpu.h"
#include "audio/AudioEngine.h"
#include "audio/PlayerEvents.h"
#include "base/ProgramNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

namespace {

// Music-like stuff the encoders have work with: a moving chord over noise,
// one song quiet enough that evening it up brings in the limiter.
QStringList makeSongs(const QString& folder)
{
    struct Song {
        const char* name;
        const char* low;
        const char* high;
        const char* gain;
    };
    QStringList made;
    for (const Song& song :
         {Song{"1.mp3", "220-880", "330-660", "-8"}, Song{"2.mp3", "110-440", "550-220", "-24"},
          Song{"3.mp2", "330-990", "440-880", "-14"}}) {
        const QString wav = folder + QStringLiteral("/song.wav");
        const QString out = folder + QLatin1Char('/') + QLatin1String(song.name);
        const bool made1 =
            runTool(QStringLiteral("sox"), {QStringLiteral("-n"),        QStringLiteral("-r"),
                                            QStringLiteral("44100"),     QStringLiteral("-c"),
                                            QStringLiteral("2"),         QStringLiteral("-b"),
                                            QStringLiteral("16"),        wav,
                                            QStringLiteral("synth"),     QStringLiteral("60"),
                                            QStringLiteral("sine"),      QLatin1String(song.low),
                                            QStringLiteral("sine"),      QLatin1String(song.high),
                                            QStringLiteral("pinknoise"), QStringLiteral("remix"),
                                            QStringLiteral("1,3"),       QStringLiteral("2,3"),
                                            QStringLiteral("gain"),      QLatin1String(song.gain)});
        const bool mp2 = out.endsWith(QLatin1String(".mp2"));
        const bool made2 = made1 && (mp2 ? runTool(QStringLiteral("twolame"),
                                                   {QStringLiteral("--quiet"), QStringLiteral("-b"),
                                                    QStringLiteral("192"), wav, out})
                                         : runTool(QStringLiteral("lame"),
                                                   {QStringLiteral("--quiet"), QStringLiteral("-b"),
                                                    QStringLiteral("128"), wav, out}));
        QFile::remove(wav);
        if (!made2) {
            return {};
        }
        made << out;
    }
    return made;
}

// Measures every song into the cache the radio will read, as it measures a
// song loaded ahead.
void fillLoudnessCache(const QString& cacheFolder, const QStringList& songs)
{
    AudioEngine::Options options;
    options.output = AudioEngine::Output::Unpaced;
    options.cacheFolder = cacheFolder;
    AudioEngine engine(options);
    for (const QString& song : songs) {
        bool answered = false;
        QObject guard;
        QObject::connect(&engine.events(), &PlayerEvents::songOpened, &guard,
                         [&](const OpenedSong&) { answered = true; });
        QObject::connect(&engine.events(), &PlayerEvents::songFailed, &guard,
                         [&](const QString&, const QString&) { answered = true; });
        engine.preloadNext(song, FollowOn::No, 1);
        engine.OpenMPEG(0, song, QStringLiteral("MPEGVideo"));
        QElapsedTimer clock;
        clock.start();
        while (!answered && clock.elapsed() < 60000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
        engine.CloseMPEG();
    }
}

struct Usage {
    double cpuSeconds = 0.0;
    double peakMb = 0.0;
    std::map<QString, ThreadCpu> threads;
};

// The figures are taken while both play on (see threadCpuOf).
Usage usageOf(qint64 pid)
{
    Usage usage;
    usage.threads = threadCpuOf(QString::number(pid));
    usage.cpuSeconds = totalSeconds(usage.threads);
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:")) {
                usage.peakMb = line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
            }
        }
    }
    return usage;
}

void sleepFor(double seconds)
{
    QThread::msleep(static_cast<unsigned long>(seconds * 1000));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const double seconds = argc > 2 ? std::atof(argv[2]) : 60.0;
    if (folder.isEmpty()) {
        std::printf("making three 60 s songs with sox, lame and twolame...\n");
        std::fflush(stdout);
        folder = work.filePath(QStringLiteral("songs"));
        QDir().mkpath(folder);
        if (makeSongs(folder).isEmpty()) {
            std::fprintf(stderr, "cannot make the songs (sox, lame and twolame needed)\n");
            return 1;
        }
    }
    QStringList songs;
    for (const QString& name : QDir(folder).entryList(
             {QStringLiteral("*.mp3"), QStringLiteral("*.mp2")}, QDir::Files, QDir::Name)) {
        songs << QDir(folder).filePath(name);
    }

    // A fresh profile that says nothing between songs, its cache filled.
    const QString home = work.filePath(QStringLiteral("home"));
    const QString config = home + QStringLiteral("/.config");
    const QString cache = home + QStringLiteral("/.cache");
    const QString runtime = home + QStringLiteral("/run");
    QDir().mkpath(config + QLatin1Char('/') + ProgramNames::kCompany);
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile settings(config + QLatin1Char('/') + ProgramNames::kCompany + QLatin1Char('/') +
                   ProgramNames::kSettingsApplication + QStringLiteral(".conf"));
    if (!settings.open(QIODevice::WriteOnly) ||
        settings.write("[Options]\nNowTime=False\nNowNews=False\n") < 0) {
        std::fprintf(stderr, "cannot write the profile\n");
        return 1;
    }
    settings.close();
    fillLoudnessCache(cache + QLatin1Char('/') + ProgramNames::kCompany + QLatin1Char('/') +
                          ProgramNames::kProductName,
                      songs);

    QProcessEnvironment radioEnv = QProcessEnvironment::systemEnvironment();
    radioEnv.insert(QStringLiteral("HOME"), home);
    radioEnv.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    radioEnv.insert(QStringLiteral("XDG_CACHE_HOME"), cache);
    radioEnv.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    radioEnv.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    radioEnv.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    radioEnv.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("disk"));
    radioEnv.insert(QStringLiteral("SDL_DISKAUDIOFILE"), QStringLiteral("/dev/null"));
    radioEnv.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));  // no hand-over to a radio
    QProcess radio;
    radio.setProcessEnvironment(radioEnv);
    radio.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    radio.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tolvar-radio"), {folder});
    const QString mpvPath = QStandardPaths::findExecutable(QStringLiteral("mpv"));
    QProcess mpv;
    if (!mpvPath.isEmpty()) {
        mpv.start(mpvPath, {QStringLiteral("--ao=null"), QStringLiteral("--no-video"),
                            QStringLiteral("--really-quiet"), QStringLiteral("--no-config"),
                            QStringLiteral("--loop-playlist=inf"), folder});
    }
    if (!radio.waitForStarted(10000)) {
        std::fprintf(stderr, "cannot start the radio\n");
        return 1;
    }
    // Past start-up and the intro, into the songs.
    sleepFor(8.0);
    const Usage radioBefore = usageOf(radio.processId());
    const Usage mpvBefore = mpvPath.isEmpty() ? Usage{} : usageOf(mpv.processId());
    QElapsedTimer wall;
    wall.start();
    sleepFor(seconds);
    const double elapsed = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    const Usage radioAfter = usageOf(radio.processId());
    const Usage mpvAfter = mpvPath.isEmpty() ? Usage{} : usageOf(mpv.processId());
    radio.terminate();
    mpv.terminate();
    radio.waitForFinished(10000);
    mpv.waitForFinished(10000);

    const double radioCpu = 100.0 * (radioAfter.cpuSeconds - radioBefore.cpuSeconds) / elapsed;
    std::printf("songs: %lld in %s, measured over %.0f s\n", static_cast<long long>(songs.size()),
                folder.toLocal8Bit().constData(), elapsed);
    std::printf("radio: cpu %% of one core %.2f, peak memory %.0f MB\n", radioCpu,
                radioAfter.peakMb);
    forEachThreadSince(radioBefore.threads, radioAfter.threads,
                       [elapsed](const QString& tid, const QString& name, double used) {
                           if (used > 0.0) {
                               std::printf("  thread %s (%s): cpu %% of one core %.3f\n",
                                           tid.toLocal8Bit().constData(),
                                           name.toLocal8Bit().constData(), 100.0 * used / elapsed);
                           }
                       });
    if (mpvPath.isEmpty()) {
        std::printf("mpv is not installed: no comparison\n");
        return 0;
    }
    const double mpvCpu = 100.0 * (mpvAfter.cpuSeconds - mpvBefore.cpuSeconds) / elapsed;
    std::printf("mpv --ao=null: cpu %% of one core %.2f, peak memory %.0f MB\n", mpvCpu,
                mpvAfter.peakMb);
    std::printf("cpu playing vs mpv: %.2f\n", mpvCpu > 0 ? radioCpu / mpvCpu : 0.0);
    return 0;
}
