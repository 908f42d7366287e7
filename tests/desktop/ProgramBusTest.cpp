// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/QStringPrinter.h"
#include "common/TestSupport.h"
#include "desktop/PrivateBus.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>
#include <cmath>

using namespace std::chrono_literals;
using testing_support::waitUntil;

namespace {
const QString kService = QStringLiteral("org.mpris.MediaPlayer2.tolvar");

// A mono 16-bit WAV file with a quiet tone, long enough not to end while a
// test runs.
bool writeTone(const QString& path, int seconds, double frequency)
{
    constexpr int kRate = 8000;
    const quint32 dataBytes = static_cast<quint32>(seconds * kRate * 2);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(kRate) << quint32(kRate * 2)
        << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    for (int i = 0; i < seconds * kRate; ++i) {
        out << qint16(std::lround(2000 * std::sin(2 * M_PI * frequency * i / kRate)));
    }
    return out.status() == QDataStream::Ok;
}

// The real program, started for a fresh user on a bus of the test's own and
// driven with the real client.
class ProgramBusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bus.isUp());
        ASSERT_TRUE(home.isValid());
        environment = bus.environment();
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
            environment.insert(QString::fromLatin1(name), home.path());
        }
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    }

    // Starts the radio with the command line given and waits until it is on
    // the bus.
    void startRadio(const QStringList& arguments = {})
    {
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QStringLiteral(TOLVAR_RADIO_PROGRAM), arguments);
        ASSERT_TRUE(program.waitForStarted(10000));
        ASSERT_TRUE(waitUntil(
            [this] {
                return bus.connection().interface()->isServiceRegistered(kService).value() ||
                       program.state() == QProcess::NotRunning;
            },
            20s));
        ASSERT_EQ(program.state(), QProcess::Running) << program.readAll().toStdString();
    }

    void TearDown() override
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
    }

    QString ask(const QStringList& arguments)
    {
        const ClientRun run = runClient(bus.environment(), QStringLiteral("playerctl"),
                                        QStringList{QStringLiteral("--player=tolvar")} + arguments);
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return run.out;
    }
    QString url() { return ask({QStringLiteral("metadata"), QStringLiteral("xesam:url")}); }
    static QString fileUrl(const QString& path)
    {
        return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    }

    // Another start of the program, run to its end.
    ClientRun startAgain(const QStringList& arguments)
    {
        return runClient(environment, QStringLiteral(TOLVAR_RADIO_PROGRAM), arguments, 20s);
    }

    PrivateBus bus;
    QTemporaryDir home;
    QProcessEnvironment environment;
    QProcess program;
};

TEST_F(ProgramBusTest, DesktopDrivesTheRunningRadio)
{
    // Started with nothing named, the radio plays the demo station that
    // comes with it (the build tree lays it out as an install does).
    startRadio();
    const auto nowPlaying = [&] {
        return runClient(bus.environment(), QStringLiteral("playerctl"),
                         {QStringLiteral("--player=tolvar"), QStringLiteral("metadata"),
                          QStringLiteral("xesam:url")})
            .out;
    };
    ASSERT_TRUE(waitUntil([&] { return !nowPlaying().isEmpty(); }, 15s));
    EXPECT_TRUE(nowPlaying().contains(QLatin1String("/share/tolvar-radio/demo/")))
        << nowPlaying().toStdString();
    EXPECT_TRUE(nowPlaying().endsWith(QLatin1String(".mid")));
    EXPECT_EQ(ask({QStringLiteral("status")}), QStringLiteral("Playing"));

    const QStringList songs{home.filePath(QStringLiteral("first tune.wav")),
                            home.filePath(QStringLiteral("second.wav"))};
    ASSERT_TRUE(writeTone(songs[0], 30, 440));
    ASSERT_TRUE(writeTone(songs[1], 30, 660));
    QFile playlist(home.filePath(QStringLiteral("evening.pyl")));
    ASSERT_TRUE(playlist.open(QIODevice::WriteOnly));
    playlist.write((songs.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLocal8Bit());
    playlist.close();

    ask({QStringLiteral("open"), playlist.fileName()});
    EXPECT_EQ(ask({QStringLiteral("status")}), QStringLiteral("Playing"));
    EXPECT_EQ(ask({QStringLiteral("metadata"), QStringLiteral("title")}),
              QStringLiteral("first tune.wav"));
    EXPECT_EQ(url(), fileUrl(songs[0]));
    EXPECT_EQ(ask({QStringLiteral("metadata"), QStringLiteral("mpris:length")}),
              QStringLiteral("30000000"));

    ask({QStringLiteral("next")});
    EXPECT_EQ(url(), fileUrl(songs[1]));
    ask({QStringLiteral("previous")});
    EXPECT_EQ(url(), fileUrl(songs[0]));

    ask({QStringLiteral("pause")});
    EXPECT_EQ(ask({QStringLiteral("status")}), QStringLiteral("Paused"));
    ask({QStringLiteral("play")});
    EXPECT_EQ(ask({QStringLiteral("status")}), QStringLiteral("Playing"));
    ask({QStringLiteral("stop")});
    EXPECT_EQ(ask({QStringLiteral("status")}), QStringLiteral("Stopped"));

    const ClientRun quit = runClient(
        bus.environment(), QStringLiteral("gdbus"),
        {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"), kService,
         QStringLiteral("--object-path"), QStringLiteral("/org/mpris/MediaPlayer2"),
         QStringLiteral("--method"), QStringLiteral("org.mpris.MediaPlayer2.Quit")});
    EXPECT_EQ(quit.exitCode, 0) << quit.err.toStdString();
    ASSERT_TRUE(waitUntil([this] { return program.state() == QProcess::NotRunning; }, 15s));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAll().toStdString();
}

// An mp3 with only an ID3v2 tag: the desktop shows its title and artist.
TEST_F(ProgramBusTest, MetadataShowsTheId3v2TagsOfTheSong)
{
    startRadio();
    const QString song = QStringLiteral(TOLVAR_TAGS_TEST_MEDIA "/id3v2only.mp3");
    ask({QStringLiteral("open"), song});
    QString title;
    // The tags are read off the GUI thread; the file name stands in meanwhile.
    waitUntil(
        [&] {
            title = ask({QStringLiteral("metadata"), QStringLiteral("title")});
            return title == QStringLiteral("Harbour Lights");
        },
        5s);
    EXPECT_EQ(title, QStringLiteral("Harbour Lights"));
    EXPECT_EQ(ask({QStringLiteral("metadata"), QStringLiteral("artist")}),
              QStringLiteral("Test Band"));
}

TEST_F(ProgramBusTest, EndsWhenTheSessionEnds)
{
    startRadio();
    // Logging out sends SIGTERM; the program must not swallow it.
    program.terminate();
    ASSERT_TRUE(waitUntil([this] { return program.state() == QProcess::NotRunning; }, 10s));
}

TEST_F(ProgramBusTest, FolderOnTheCommandLinePlaysAndASecondStartHandsOver)
{
    const QString folder = home.filePath(QStringLiteral("My Music"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/disc 2")));
    ASSERT_TRUE(writeTone(folder + QStringLiteral("/disc 2/c.wav"), 30, 550));
    ASSERT_TRUE(writeTone(folder + QStringLiteral("/b.wav"), 30, 660));
    ASSERT_TRUE(writeTone(folder + QStringLiteral("/A.wav"), 30, 440));
    const QString extra = home.filePath(QStringLiteral("extra.wav"));
    ASSERT_TRUE(writeTone(extra, 30, 330));

    // Named relative to where it was started, as a shell user would.
    program.setWorkingDirectory(home.path());
    startRadio({QStringLiteral("My Music")});
    // Until the folder is read there is no track to ask about.
    const auto playing = [&] {
        return runClient(bus.environment(), QStringLiteral("playerctl"),
                         {QStringLiteral("--player=tolvar"), QStringLiteral("metadata"),
                          QStringLiteral("xesam:url")})
            .out;
    };
    ASSERT_TRUE(
        waitUntil([&] { return playing() == fileUrl(folder + QStringLiteral("/A.wav")); }, 15s))
        << playing().toStdString();
    EXPECT_EQ(ask({QStringLiteral("status")}), QStringLiteral("Playing"));
    ask({QStringLiteral("next")});
    EXPECT_EQ(url(), fileUrl(folder + QStringLiteral("/b.wav")));
    ask({QStringLiteral("next")});
    EXPECT_EQ(url(), fileUrl(folder + QStringLiteral("/disc 2/c.wav")));

    // The desktop's shuffle, loop and position reach the running radio.
    ask({QStringLiteral("shuffle"), QStringLiteral("On")});
    EXPECT_EQ(ask({QStringLiteral("shuffle")}), QStringLiteral("On"));
    ask({QStringLiteral("loop"), QStringLiteral("None")});
    EXPECT_EQ(ask({QStringLiteral("loop")}), QStringLiteral("None"));
    ask({QStringLiteral("position"), QStringLiteral("10")});
    const double at = ask({QStringLiteral("position")}).toDouble();
    EXPECT_GE(at, 10.0);
    EXPECT_LT(at, 12.0);

    // A second start hands its file over and ends; there is one radio.
    const ClientRun second = startAgain({QUrl::fromLocalFile(extra).toString()});
    EXPECT_TRUE(second.finished);
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_EQ(url(), fileUrl(extra));
    EXPECT_EQ(ask({QStringLiteral("--list-all")}), QStringLiteral("tolvar"));

    // One that names nothing playable says so and leaves the radio alone.
    const ClientRun nothing = startAgain({home.filePath(QStringLiteral("gone.wav"))});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_TRUE(nothing.err.contains(QLatin1String("gone.wav"))) << nothing.err.toStdString();
    EXPECT_EQ(url(), fileUrl(extra));
    ASSERT_EQ(program.state(), QProcess::Running);

    // The options window sees what the desktop chose: it was saved.
    QSettings saved(home.filePath(QStringLiteral("Quintaviel Software/Tolvar MP3 v1.0.conf")),
                    QSettings::IniFormat);
    EXPECT_EQ(saved.value(QStringLiteral("Options/Rands")).toString(), QStringLiteral("True"));
    EXPECT_EQ(saved.value(QStringLiteral("Options/Loops")).toString(), QStringLiteral("False"));
}

TEST_F(ProgramBusTest, HelpVersionAndUnknownOptionsAnswerWithoutARadio)
{
    const ClientRun version = startAgain({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("Tolvar MP3 Radio " TOLVAR_VERSION));
    const ClientRun help = startAgain({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QLatin1String("Usage: "))) << help.out.toStdString();
    const ClientRun unknown = startAgain({QStringLiteral("--bogus")});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(QLatin1String("--bogus")));
    EXPECT_FALSE(bus.connection().interface()->isServiceRegistered(kService).value());
}

}  // namespace
