#include "desktop/MprisService.h"

#include "common/TestSupport.h"
#include "desktop/PrivateBus.h"
#include "desktop/QStringPrinter.h"
#include "desktop/RadioFixture.h"
#include "tags/Id3v1Tag.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
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
        ASSERT_TRUE(service.registerOn(bus.connection()));
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
    player.totalFrames = 61250;
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
    player.percent = 40;
    const double seconds = ask({QStringLiteral("position")}).toDouble();
    EXPECT_GE(seconds, 24.499);
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
    sequencer.command(TransportCommand::Pause);
    EXPECT_TRUE(sees(QStringLiteral("Paused")));
    sequencer.command(TransportCommand::Stop);
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
    ASSERT_TRUE(control.openUri(url(threeSongPlaylist())).isEmpty());
    const ClientRun player = gdbusCall(QStringLiteral("org.freedesktop.DBus.Properties.GetAll"),
                                       {QStringLiteral("org.mpris.MediaPlayer2.Player")});
    ASSERT_EQ(player.exitCode, 0) << player.err.toStdString();
    for (const char* expected :
         {"'PlaybackStatus': <'Playing'>", "'Position': <int64 ",
          "'mpris:trackid': <objectpath '/org/tolvar/Radio/Track/1'>",
          "'mpris:length': <int64 180000000>", "'Rate': <1.0>", "'Volume': <1.0>",
          "'CanGoNext': <true>", "'CanSeek': <false>", "'CanControl': <true>"}) {
        EXPECT_TRUE(player.out.contains(QLatin1String(expected)))
            << expected << " in " << player.out.toStdString();
    }
}

TEST_F(MprisBusTest, SecondRadioTakesANameOfItsOwn)
{
    MprisService second{control};
    ASSERT_TRUE(second.registerOn(
        bus.connection().connectToBus(bus.address(), QStringLiteral("second radio"))));
    EXPECT_TRUE(
        second.serviceName().startsWith(QStringLiteral("org.mpris.MediaPlayer2.tolvar.instance")));
    const QStringList players = ask({QStringLiteral("--list-all")}).split(QLatin1Char('\n'));
    EXPECT_EQ(players.size(), 2) << players.join(QLatin1Char(' ')).toStdString();
    QDBusConnection::disconnectFromBus(QStringLiteral("second radio"));
}

TEST(MprisNoBusTest, RunsOnWithoutABus)
{
    RadioFixture radio;
    MprisService service{radio.control};
    EXPECT_FALSE(service.registerOn(QDBusConnection(QStringLiteral("no such connection"))));
    EXPECT_TRUE(service.serviceName().isEmpty());
    service.refresh();  // nothing to announce to, and no harm
    radio.control.play();
}

}  // namespace
