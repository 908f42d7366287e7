#include "announcer/RadioAnnouncer.h"
#include "app/RadioPlaylistLinks.h"
#include "audio/AudioEngine.h"
#include "base/ProgramNames.h"
#include "base/RandomSource.h"
#include "desktop/ApplicationIcon.h"
#include "desktop/MprisService.h"
#include "desktop/RadioMediaControl.h"
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
#include <memory>

// Builds the state owners, the engines and the windows and wires them; the
// program ends when the main window closes.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString(ProgramNames::kCompany));
    QCoreApplication::setApplicationName(QString(ProgramNames::kProductName));
    QGuiApplication::setDesktopFileName(QString(ProgramNames::kDesktopFileName));
    QApplication::setWindowIcon(ApplicationIcon::make());

    // The state owners.
    RadioSettings settings;
    AcceptedPlaylist playlist;
    RandomSource random;

    // The engines.
    AudioEngine player;
    VoiceDialogs voiceDialogs;
    TextToSpeech talk(player);
    talk.setDialogProvider(&voiceDialogs);
    RadioAnnouncer announcer(settings, random, talk);
    Sequencer sequencer(settings, playlist, random, player, talk, announcer);

    // The windows.
    Tolvar tolvar(settings, random, sequencer, player, talk);
    MessageBoxPrompter prompter;
    PlaylistWindowHost playlistWindow([&] {
        return std::make_unique<Playlist>(
            playlist, talk, player, prompter,
            PlaylistStore(PlaylistFolder::forThisProgram(),
                          PlaylistFolder::earlierForThisProgram()),
            RadioPlaylistLinks(settings, random, talk, [&] { sequencer.PlayIt(); }));
    });
    tolvar.setPlaylistOpener([&] {
        playlistWindow.showModal();
        return playlist.ListAccepted();
    });
    tolvar.setWindowUnloader([&] { playlistWindow.unload(); });
    tolvar.Form_Load();

    // The desktop's media keys and panels, when there is a session bus.
    RadioMediaControl media(playlist, sequencer, player, talk,
                            {.quit = [&] { tolvar.exitProgram(); },
                             .raise =
                                 [&] {
                                     tolvar.showNormal();
                                     tolvar.raise();
                                     tolvar.activateWindow();
                                 }});
    MprisService mpris(media);
    mpris.registerOn(QDBusConnection::sessionBus());

    tolvar.show();
    const int result = QApplication::exec();
    playlistWindow.unload();
    return result;
}
