// SPDX-License-Identifier: GPL-3.0-or-later
#include "announcer/RadioAnnouncer.h"
#include "app/BroadcastTitles.h"
#include "app/RadioPlaylistLinks.h"
#include "app/SecondStart.h"
#include "audio/AudioEngine.h"
#include "base/ProgramNames.h"
#include "base/RandomSource.h"
#include "broadcast/Broadcast.h"
#include "broadcast/BroadcastSetting.h"
#include "broadcast/BroadcastStore.h"
#include "demo/DemoStation.h"
#include "desktop/ApplicationIcon.h"
#include "desktop/MprisService.h"
#include "desktop/RadioMediaControl.h"
#include "desktop/RunningRadio.h"
#include "files/IgnoreFileSizeSignal.h"
#include "files/NativePath.h"
#include "launch/BackgroundSongCollector.h"
#include "launch/CommandLine.h"
#include "mainwindow/Tolvar.h"
#include "playback/AcceptedPlaylist.h"
#include "playback/Sequencer.h"
#include "playlist/PlaylistFolder.h"
#include "playlistwindow/MessageBoxPrompter.h"
#include "playlistwindow/Playlist.h"
#include "playlistwindow/PlaylistWindowHost.h"
#include "settings/RadioSettings.h"
#include "speech/TextToSpeech.h"
#include "voicedialogs/VoiceDialogs.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>
#include <memory>
#include <optional>

namespace {
// What plays at start when the command line names nothing: the demo station
// that comes with the program, as its playlist names it, when it is there.
QStringList defaultStartPaths()
{
    const std::optional<DemoStation> demo = DemoStation::forThisProgram();
    if (!demo) {
        return {};
    }
    const QString playlist = demo->playlist();
    return {playlist.isEmpty() ? demo->folder() : playlist};
}

// Answers --help and --version, and refuses a line it cannot take; nothing
// when the radio is to run.
std::optional<int> answerWithoutRadio(const CommandLine& line, const QString& program)
{
    switch (line.action()) {
        case CommandLine::Action::Help:
            QTextStream(stdout) << CommandLine::usage(program);
            return 0;
        case CommandLine::Action::Version:
            QTextStream(stdout) << CommandLine::versionText(QString(ProgramNames::kVersion));
            return 0;
        case CommandLine::Action::Refuse:
            QTextStream(stderr) << program << ": " << line.error() << "\nTry '" << program
                                << " --help'.\n";
            return 2;
        case CommandLine::Action::Run:
            break;
    }
    return std::nullopt;
}

QString programName(const QStringList& arguments)
{
    const QString name = arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).fileName();
    return name.isEmpty() ? QStringLiteral("tolvar-radio") : name;
}

// The arguments as file names (NativePath): a song named with bytes that are
// no UTF-8 is still found. Qt's own arguments() would lose those bytes.
QStringList rawArguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << NativePath::fromBytes(QByteArray(argv[i]));
    }
    return arguments;
}
}  // namespace

// Answers --help and --version; hands what it names to a radio that already
// runs; else builds the state owners, the engines and the windows, wires them
// and plays what the command line names. The program ends when the main
// window closes.
int main(int argc, char** argv)
{
    // --help and --version need no display, so they come before the
    // application (which would take Qt's own options out of the line).
    const CommandLine early = CommandLine::parse(rawArguments(argc, argv), QDir::currentPath());
    if (early.action() == CommandLine::Action::Help ||
        early.action() == CommandLine::Action::Version) {
        return *answerWithoutRadio(early, programName(rawArguments(argc, argv)));
    }

    // Under `ulimit -f`, saving a playlist or a tag fails with its message
    // instead of ending the program.
    IgnoreFileSizeSignal();
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString(ProgramNames::kCompany));
    QCoreApplication::setApplicationName(QString(ProgramNames::kProductName));
    QCoreApplication::setApplicationVersion(QString(ProgramNames::kVersion));
    QGuiApplication::setDesktopFileName(QString(ProgramNames::kDesktopFileName));
    QApplication::setWindowIcon(ApplicationIcon::make());

    // The application has taken its own options out of argv by now.
    const CommandLine line = CommandLine::parse(rawArguments(argc, argv), QDir::currentPath());
    if (const std::optional<int> done =
            answerWithoutRadio(line, programName(QCoreApplication::arguments()))) {
        return *done;
    }
    // One radio: a start while another runs hands its songs over and ends.
    QTextStream errors(stderr);
    const QDBusConnection bus = QDBusConnection::sessionBus();
    const bool anotherRan = RunningRadio(bus).isRunning();
    if (anotherRan && (line.broadcast() || line.noSpeaker())) {
        errors << "tolvar-radio: the radio already running keeps its own sound and broadcast;"
                  " --broadcast and --no-speaker are not handed over"
               << Qt::endl;
    }
    if (const std::optional<int> done = SecondStart(RunningRadio(bus), errors).handOver(line)) {
        return *done;
    }

    // The state owners.
    RadioSettings settings;
    AcceptedPlaylist playlist;
    RandomSource random;

    // The engines. Measured song loudness is kept in the per-user cache folder.
    AudioEngine::Options playerOptions;
    playerOptions.cacheFolder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (line.noSpeaker()) {
        playerOptions.output = AudioEngine::Output::SilentClock;
    }
    AudioEngine player(playerOptions);
    VoiceDialogs voiceDialogs;
    TextToSpeech talk(player);
    talk.setDialogProvider(&voiceDialogs);
    RadioAnnouncer announcer(settings, random, talk);
    Sequencer sequencer(settings, playlist, random, player, talk, announcer);

    // The station on the air, beside the speaker, when an address is given
    // or kept from the options window.
    Broadcast broadcast(player, QString(ProgramNames::kProductName));
    BroadcastStore broadcastStore;
    BroadcastSetting broadcastSetting(broadcastStore, broadcast);
    BroadcastTitles broadcastTitles(sequencer, playlist, broadcast);
    QObject::connect(&broadcast, &Broadcast::said, &broadcast,
                     [&](const QString& said) { errors << "tolvar-radio: " << said << Qt::endl; });
    if (line.broadcast()) {
        broadcast.start(*line.broadcast());
    } else if (const std::optional<QString> why = broadcastSetting.startKept()) {
        errors << "tolvar-radio: the kept broadcast address is not used: " << *why << Qt::endl;
    }
    if (broadcast.started()) {
        const QString output = player.outputName();
        if (output == QLatin1String("dummy") || output == QLatin1String("silent clock")) {
            errors << "tolvar-radio: no sound device; the station plays paced by the clock"
                   << Qt::endl;
        }
    }

    // The windows.
    Tolvar tolvar(settings, random, sequencer, player, talk);
    MessageBoxPrompter prompter;
    PlaylistWindowHost playlistWindow([&] {
        return std::make_unique<Playlist>(
            playlist, talk, player, prompter,
            PlaylistStore(PlaylistFolder::forThisProgram(),
                          PlaylistFolder::earlierForThisProgram()),
            RadioPlaylistLinks(
                settings, random, talk, [&] { sequencer.PlayIt(); }, &broadcastSetting));
    });
    tolvar.setPlaylistOpener([&] {
        playlistWindow.showModal();
        return playlist.ListAccepted();
    });
    tolvar.setWindowUnloader([&] { playlistWindow.unload(); });
    tolvar.Form_Load();
    // --crossfade holds for this run; the stored setting is left as it is.
    if (const std::optional<std::int16_t> seconds = line.crossfade()) {
        settings.Crossfade = *seconds;
    }

    // The desktop's media keys and panels, when there is a session bus.
    RadioMediaControl media(settings, playlist, sequencer, player, talk,
                            {.quit = [&] { tolvar.exitProgram(); },
                             .raise =
                                 [&] {
                                     tolvar.showNormal();
                                     tolvar.raise();
                                     tolvar.activateWindow();
                                 }});
    MprisService mpris(media);
    if (mpris.registerOn(bus) == MprisService::Registration::NameTaken) {
        // Another radio came up while this one was being built.
        if (!anotherRan) {
            if (const std::optional<int> done =
                    SecondStart(RunningRadio(bus), errors).handOver(line)) {
                playlistWindow.unload();
                return *done;
            }
        }
        errors << "tolvar-radio: another radio holds the desktop's media controls" << Qt::endl;
    }

    // The songs named on the command line play once found, with the intro,
    // unless something else started meanwhile (a second start's songs, the
    // playlist window).
    BackgroundSongCollector startSongs;
    QObject::connect(&startSongs, &BackgroundSongCollector::collected, &media,
                     [&](const QStringList& songs, const QStringList& problems) {
                         for (const QString& problem : problems) {
                             errors << "tolvar-radio: " << problem << Qt::endl;
                         }
                         if (songs.isEmpty()) {
                             errors << "tolvar-radio: nothing to play" << Qt::endl;
                             return;
                         }
                         const bool untouched = sequencer.state() == PlaybackState::Stopped &&
                                                !playlist.ListAccepted();
                         if (untouched) {
                             media.startSongs(songs);
                         }
                     });
    // What a playlist opened from the desktop names that cannot be played.
    QObject::connect(&media, &RadioMediaControl::reported, &media, [&](const QString& problem) {
        errors << "tolvar-radio: " << problem << Qt::endl;
    });
    for (const QString& problem : line.problems()) {
        errors << "tolvar-radio: " << problem << Qt::endl;
    }
    if (const QStringList paths = line.startPaths(defaultStartPaths()); !paths.isEmpty()) {
        startSongs.start(paths);
    }

    tolvar.show();
    const int result = QApplication::exec();
    playlistWindow.unload();
    return result;
}
