#include "common/TestSupport.h"
#include "desktop/PrivateBus.h"
#include "desktop/QStringPrinter.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDataStream>
#include <QFile>
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
        QProcessEnvironment environment = bus.environment();
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
            environment.insert(QString::fromLatin1(name), home.path());
        }
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QStringLiteral(TOLVAR_RADIO_PROGRAM), QStringList{});
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

    PrivateBus bus;
    QTemporaryDir home;
    QProcess program;
};

TEST_F(ProgramBusTest, DesktopDrivesTheRunningRadio)
{
    EXPECT_EQ(ask({QStringLiteral("status")}), QStringLiteral("Stopped"));

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
    // Logging out sends SIGTERM; the program must not swallow it.
    program.terminate();
    ASSERT_TRUE(waitUntil([this] { return program.state() == QProcess::NotRunning; }, 10s));
}

}  // namespace
