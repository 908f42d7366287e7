// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/MprisService.h"

#include "common/QStringPrinter.h"
#include "common/StoredSettings.h"
#include "common/TestSupport.h"
#include "desktop/PrivateBus.h"
#include "desktop/RadioFixture.h"
#include "desktop/RunningRadio.h"
#include "tags/Id3v1Tag.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <future>
#include <memory>

using namespace std::chrono_literals;
using testing_support::pumpFor;
using testing_support::waitUntil;

namespace {

// The radio on fakes, on a bus of its own, driven by the real command-line
// client as a desktop panel would drive it.
class MprisBusTest : public ::testing::Test, protected RadioFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bus.isUp()) << "dbus-daemon did not start";
        ASSERT_EQ(service.registerOn(bus.connection()), MprisService::Registration::Registered);
        ASSERT_EQ(service.serviceName(), QStringLiteral("org.mpris.MediaPlayer2.tolvar"));
    }

    ClientRun playerctl(const QStringList& arguments)
    {
        return runClient(bus.environment(), QStringLiteral("playerctl"),
                         QStringList{QStringLiteral("--player=tolvar")} + arguments);
    }
    QString ask(const QStringList& arguments)
    {
        const ClientRun run = playerctl(arguments);
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return run.out;
    }
    QString status() { return ask({QStringLiteral("status")}); }

    ClientRun gdbusCall(const QString& method, const QStringList& arguments = {})
    {
        return runClient(
            bus.environment(), QStringLiteral("gdbus"),
            QStringList{QStringLiteral("call"), QStringLiteral("--session"),
                        QStringLiteral("--dest"), service.serviceName(),
                        QStringLiteral("--object-path"), QStringLiteral("/org/mpris/MediaPlayer2"),
                        QStringLiteral("--method"), method} +
                arguments);
    }

    QString threeSongPlaylist()
    {
        songs = {makeFile(QStringLiteral("first song.mp3")), makeFile(QStringLiteral("second.mp3")),
                 makeFile(QStringLiteral("third.mp3"))};
        return makePlaylist(QStringLiteral("road trip.pyl"), songs);
    }
    static QString fileUrl(const QString& path)
    {
        return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    }

    PrivateBus bus;
    MprisService service{control};
    QStringList songs;
};

TEST_F(MprisBusTest, MetadataShowsTheTaggedSong)
{
    Id3v1Tag tag;
    tag.title = QStringLiteral("Night Drive");
    tag.artist = QStringLiteral("Tolvar Players");
    const QString song =
        makeFile(QStringLiteral("track 07.mp3"), QByteArray(4000, 'x') + *tag.toBytes());
    player.totalFrames = 2701125;  // 61.25 s
    ask({QStringLiteral("open"), song});

    EXPECT_EQ(ask({QStringLiteral("metadata"), QStringLiteral("title")}),
              QStringLiteral("Night Drive"));
    EXPECT_EQ(ask({QStringLiteral("metadata"), QStringLiteral("artist")}),
              QStringLiteral("Tolvar Players"));
    EXPECT_EQ(ask({QStringLiteral("metadata"), QStringLiteral("xesam:url")}), fileUrl(song));
    EXPECT_EQ(ask({QStringLiteral("metadata"), QStringLiteral("mpris:length")}),
              QStringLiteral("61250000"));
    EXPECT_EQ(ask({QStringLiteral("metadata"), QStringLiteral("mpris:trackid")}),
              QStringLiteral("'/org/tolvar/Radio/Track/1'"));

    // The client adds the time since it last read the position.
    player.positionMs = 24567;
    const double seconds = ask({QStringLiteral("position")}).toDouble();
    EXPECT_GE(seconds, 24.567);
    EXPECT_LT(seconds, 25.0);
}

TEST_F(MprisBusTest, ChangesReachAFollowingClient)
{
    QProcess follower;
    follower.setProcessEnvironment(bus.environment());
    follower.start(
        QStringLiteral("playerctl"),
        {QStringLiteral("--player=tolvar"), QStringLiteral("--follow"), QStringLiteral("status")});
    ASSERT_TRUE(follower.waitForStarted(5000));
    QString seen;
    const auto sees = [&](const QString& line) {
        return waitUntil(
            [&] {
                seen += QString::fromUtf8(follower.readAllStandardOutput());
                return seen.split(QLatin1Char('\n')).contains(line);
            },
            10s);
    };
    ASSERT_TRUE(sees(QStringLiteral("Stopped")));

    // Changes made inside the program, not through the bus, are announced.
    ASSERT_TRUE(control.openUri(url(threeSongPlaylist())).isEmpty());
    EXPECT_TRUE(sees(QStringLiteral("Playing")));
    seq.command(TransportCommand::Pause);
    EXPECT_TRUE(sees(QStringLiteral("Paused")));
    seq.command(TransportCommand::Stop);
    seen.clear();
    EXPECT_TRUE(sees(QStringLiteral("Stopped")));

    follower.kill();
    follower.waitForFinished(5000);
}

TEST_F(MprisBusTest, OpenRefusesWhatIsNoSongOrPlaylist)
{
    const ClientRun refused =
        playerctl({QStringLiteral("open"), makeFile(QStringLiteral("notes.txt"))});
    EXPECT_TRUE(refused.finished);
    EXPECT_NE(refused.exitCode, 0);
    const ClientRun missing = gdbusCall(QStringLiteral("org.mpris.MediaPlayer2.Player.OpenUri"),
                                        {fileUrl(dir.filePath(QStringLiteral("gone.pyl")))});
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_TRUE(missing.err.contains(QLatin1String("InvalidArgs"))) << missing.err.toStdString();

    EXPECT_TRUE(opened().isEmpty());
    EXPECT_EQ(status(), QStringLiteral("Stopped"));
}

TEST_F(MprisBusTest, RootInterfaceNamesTheProgramAndQuits)
{
    const ClientRun root = gdbusCall(QStringLiteral("org.freedesktop.DBus.Properties.GetAll"),
                                     {QStringLiteral("org.mpris.MediaPlayer2")});
    ASSERT_EQ(root.exitCode, 0) << root.err.toStdString();
    for (const char* expected :
         {"'Identity': <'Tolvar MP3 Radio'>", "'DesktopEntry': <'" TOLVAR_APP_ID "'>",
          "'CanQuit': <true>", "'CanRaise': <true>", "'HasTrackList': <false>",
          "'SupportedUriSchemes': <['file']>"}) {
        EXPECT_TRUE(root.out.contains(QLatin1String(expected))) << expected;
    }

    EXPECT_EQ(gdbusCall(QStringLiteral("org.mpris.MediaPlayer2.Raise")).exitCode, 0);
    EXPECT_EQ(raises, 1);
    EXPECT_EQ(gdbusCall(QStringLiteral("org.mpris.MediaPlayer2.Quit")).exitCode, 0);
    EXPECT_TRUE(waitUntil([this] { return quits == 1; }, 2s));
}

TEST_F(MprisBusTest, PlayerPropertiesHaveTheirBusTypes)
{
    settings.Loops = true;
    player.totalFrames = 7938000;  // 3 min
    ASSERT_TRUE(control.openUri(url(threeSongPlaylist())).isEmpty());
    const ClientRun player = gdbusCall(QStringLiteral("org.freedesktop.DBus.Properties.GetAll"),
                                       {QStringLiteral("org.mpris.MediaPlayer2.Player")});
    ASSERT_EQ(player.exitCode, 0) << player.err.toStdString();
    for (const char* expected :
         {"'PlaybackStatus': <'Playing'>", "'Position': <int64 ",
          "'mpris:trackid': <objectpath '/org/tolvar/Radio/Track/1'>",
          "'mpris:length': <int64 180000000>", "'Rate': <1.0>", "'Volume': <1.0>",
          "'CanGoNext': <true>", "'CanSeek': <true>", "'CanControl': <true>", "'Shuffle': <false>",
          "'LoopStatus': <'Playlist'>"}) {
        EXPECT_TRUE(player.out.contains(QLatin1String(expected)))
            << expected << " in " << player.out.toStdString();
    }
}

TEST_F(MprisBusTest, SecondRadioFindsTheNameTakenAndLeavesNothingOnTheBus)
{
    MprisService second{control};
    EXPECT_EQ(second.registerOn(
                  bus.connection().connectToBus(bus.address(), QStringLiteral("second radio"))),
              MprisService::Registration::NameTaken);
    EXPECT_TRUE(second.serviceName().isEmpty());
    EXPECT_EQ(ask({QStringLiteral("--list-all")}), QStringLiteral("tolvar"));
    QDBusConnection::disconnectFromBus(QStringLiteral("second radio"));
}

TEST_F(MprisBusTest, ShuffleAndLoopRoundTripThroughTheOptions)
{
    testing_support::SettingsSandbox sandbox;
    stored_settings::openStore(settings);
    settings.Loops = true;
    QProcess follower;
    follower.setProcessEnvironment(bus.environment());
    follower.start(
        QStringLiteral("playerctl"),
        {QStringLiteral("--player=tolvar"), QStringLiteral("--follow"), QStringLiteral("shuffle")});
    ASSERT_TRUE(follower.waitForStarted(5000));
    QString seen;
    const auto follows = [&](const QString& line) {
        return waitUntil(
            [&] {
                seen += QString::fromUtf8(follower.readAllStandardOutput());
                return seen.split(QLatin1Char('\n')).contains(line);
            },
            10s);
    };
    ASSERT_TRUE(follows(QStringLiteral("Off")));

    struct Case {
        QStringList command;
        bool rands;
        bool loops;
    };
    for (const Case& c :
         {Case{{QStringLiteral("shuffle"), QStringLiteral("On")}, true, true},
          Case{{QStringLiteral("loop"), QStringLiteral("None")}, true, false},
          Case{{QStringLiteral("loop"), QStringLiteral("Track")}, true, false},  // no such mode
          Case{{QStringLiteral("loop"), QStringLiteral("Playlist")}, true, true},
          Case{{QStringLiteral("shuffle"), QStringLiteral("Off")}, false, true}}) {
        const QString what = c.command.join(QLatin1Char(' '));
        ask(c.command);
        EXPECT_EQ(settings.Rands.value(), c.rands) << what.toStdString();
        EXPECT_EQ(settings.Loops.value(), c.loops) << what.toStdString();
        EXPECT_EQ(stored_settings::stored(QStringLiteral("Rands")), c.rands ? "True" : "False");
        EXPECT_EQ(ask({QStringLiteral("shuffle")}), c.rands ? "On" : "Off") << what.toStdString();
        EXPECT_EQ(ask({QStringLiteral("loop")}), c.loops ? "Playlist" : "None")
            << what.toStdString();
    }
    EXPECT_EQ(stored_settings::stored(QStringLiteral("Loops")), QStringLiteral("True"));

    // A change made in the options window reaches a following client.
    seen.clear();
    settings.Rands = true;
    EXPECT_TRUE(follows(QStringLiteral("On")));
    follower.kill();
    follower.waitForFinished(5000);
    settings.Settings.reset();
}

TEST_F(MprisBusTest, PositionAndSeekMoveWithinTheSong)
{
    player.totalFrames = 2701125;  // 61.25 s
    ASSERT_TRUE(control.openUri(url(threeSongPlaylist())).isEmpty());
    const auto lastPlay = [this] { return player.calls.filter(QStringLiteral("PlayMPEG")).last(); };

    ask({QStringLiteral("position"), QStringLiteral("10")});  // SetPosition on this track
    EXPECT_EQ(lastPlay(), QStringLiteral("PlayMPEG 441001 2701125"));
    EXPECT_NEAR(ask({QStringLiteral("position")}).toDouble(), 10.0, 0.5);
    ask({QStringLiteral("position"), QStringLiteral("2.5+")});  // Seek
    EXPECT_EQ(lastPlay(), QStringLiteral("PlayMPEG 551251 2701125"));
    ask({QStringLiteral("position"), QStringLiteral("60-")});  // before the start: the start
    EXPECT_EQ(lastPlay(), QStringLiteral("PlayMPEG 1 2701125"));

    // SetPosition for another track, or past the end, does nothing.
    const int plays = player.calls.filter(QStringLiteral("PlayMPEG")).size();
    EXPECT_EQ(gdbusCall(QStringLiteral("org.mpris.MediaPlayer2.Player.SetPosition"),
                        {QStringLiteral("/org/tolvar/Radio/Track/99"), QStringLiteral("5000000")})
                  .exitCode,
              0);
    ask({QStringLiteral("position"), QStringLiteral("70")});
    EXPECT_EQ(player.calls.filter(QStringLiteral("PlayMPEG")).size(), plays);

    // A seek past the end goes on to the next song.
    ask({QStringLiteral("position"), QStringLiteral("70+")});
    EXPECT_EQ(ask({QStringLiteral("metadata"), QStringLiteral("xesam:url")}), fileUrl(songs[1]));
}

TEST_F(MprisBusTest, SecondStartHandsItsSongsToTheRunningRadio)
{
    const QStringList handed{makeFile(QStringLiteral("b.mp3")), makeFile(QStringLiteral("a.mp3"))};
    // The second start waits for the answer, so it calls from a thread of
    // its own while this one serves the bus.
    const QString clientName = QStringLiteral("second start");
    const RunningRadio running(QDBusConnection::connectToBus(bus.address(), clientName));
    ASSERT_TRUE(running.isRunning());
    auto answer = std::async(std::launch::async, [&] { return running.startSongs(handed); });
    ASSERT_TRUE(waitUntil([&] { return answer.wait_for(0s) == std::future_status::ready; }, 10s));
    EXPECT_EQ(answer.get(), QString());
    EXPECT_EQ(playlist.SongList(), handed);
    EXPECT_TRUE(playlist.ListAccepted());
    EXPECT_EQ(announcer.calls, QStringList{QStringLiteral("intro")});
    EXPECT_EQ(opened(), QStringList{handed.first()});

    auto refused = std::async(std::launch::async, [&] { return running.startSongs({}); });
    ASSERT_TRUE(waitUntil([&] { return refused.wait_for(0s) == std::future_status::ready; }, 10s));
    EXPECT_FALSE(refused.get().isEmpty());
    EXPECT_EQ(opened().size(), 1);
    QDBusConnection::disconnectFromBus(clientName);
}

// StartSongs takes absolute paths of regular files only. Anything else is
// refused with an error that names it, and the playlist that plays goes on.
TEST_F(MprisBusTest, StartSongsRefusesWhatIsNoSongFileAndPlayingGoesOn)
{
    const QString good = makeFile(QStringLiteral("good.mp3"));
    const QString playing = makeFile(QStringLiteral("playing.mp3"));
    const QString fifo = dir.filePath(QStringLiteral("fifo.mp3"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = dir.filePath(QStringLiteral("folder.mp3"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(control.startSongs({playing}).isEmpty());
    const QStringList before = opened();

    const QString clientName = QStringLiteral("hostile start");
    const RunningRadio running(QDBusConnection::connectToBus(bus.address(), clientName));
    ASSERT_TRUE(running.isRunning());
    const QString entries[] = {
        QString(),
        QStringLiteral("relative.mp3"),
        QStringLiteral("file://") + good,
        QStringLiteral("http://localhost/song.mp3"),
        QStringLiteral("/dev/zero"),
        fifo,
        folder,
        dir.filePath(QStringLiteral("gone.mp3")),
    };
    for (const QString& entry : entries) {
        auto answer = std::async(std::launch::async, [&] {
            return running.startSongs({good, entry});
        });
        ASSERT_TRUE(
            waitUntil([&] { return answer.wait_for(0s) == std::future_status::ready; }, 10s));
        const QString refusal = answer.get();
        const std::string name = entry.toStdString();
        EXPECT_FALSE(refusal.isEmpty()) << name;
        EXPECT_TRUE(refusal.contains(QLatin1Char('"') + entry + QLatin1Char('"')))
            << name << ": " << refusal.toStdString();
        EXPECT_EQ(playlist.SongList(), QStringList{playing}) << name;
        EXPECT_EQ(opened(), before) << name;
        EXPECT_EQ(status(), QStringLiteral("Playing")) << name;
    }
    QDBusConnection::disconnectFromBus(clientName);
}

TEST(MprisNoBusTest, RunsOnWithoutABus)
{
    RadioFixture radio;
    MprisService service{radio.control};
    EXPECT_EQ(service.registerOn(QDBusConnection(QStringLiteral("no such connection"))),
              MprisService::Registration::NoBus);
    EXPECT_TRUE(service.serviceName().isEmpty());
    service.refresh();  // nothing to announce to, and no harm
    radio.control.play();
}

}  // namespace
