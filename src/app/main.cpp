#include "audio/AudioEngine.h"
#include "core/RadioAnnouncer.h"
#include "core/Tolvar.h"
#include "core/Tolvars.h"
#include "desktop/ApplicationIcon.h"
#include "desktop/MprisRootAdaptor.h"
#include "desktop/MprisService.h"
#include "desktop/RadioMediaControl.h"
#include "playlist/MessageBoxPrompter.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistFolder.h"
#include "playlist/PlaylistWindowHost.h"
#include "playlist/RadioPlaylistLinks.h"
#include "speech/TextToSpeech.h"
#include "speech/VoiceDialogs.h"

#include <QApplication>
#include <QDBusConnection>
#include <memory>

// Builds the engines, the shared state and the main window; the program ends
// when the main window closes.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quintaviel Software"));
    QCoreApplication::setApplicationName(QStringLiteral("Tolvar MP3 Radio"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TOLVAR_VERSION));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(MprisRootAdaptor::kDesktopEntry));
    QApplication::setWindowIcon(ApplicationIcon::make());

    Tolvars state;
    AudioEngine player;
    VoiceDialogs voiceDialogs;
    TextToSpeech talk(player);
    talk.setDialogProvider(&voiceDialogs);
    RadioAnnouncer announcer(state, talk);
    Tolvar tolvar(state, player, talk, announcer);

    MessageBoxPrompter prompter;
    PlaylistWindowHost playlist([&] {
        return std::make_unique<Playlist>(
            state, talk, player, prompter, PlaylistFolder::forThisProgram(),
            RadioPlaylistLinks(state, talk, [&] { tolvar.PlayIt(); }));
    });
    tolvar.setPlaylistOpener([&] { playlist.showModal(); });
    tolvar.setWindowUnloader([&] { playlist.unload(); });

    // The desktop's media keys and panels, when there is a session bus.
    RadioMediaControl media(state, tolvar.sequencer(), player, talk, announcer,
                            {.quit = [&] { tolvar.Commands_Click(6); },
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
    playlist.unload();
    return result;
}
