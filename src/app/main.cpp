#include "audio/AudioEngine.h"
#include "core/RadioAnnouncer.h"
#include "core/Tolvar.h"
#include "core/Tolvars.h"
#include "playlist/MessageBoxPrompter.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistFolder.h"
#include "playlist/PlaylistWindowHost.h"
#include "playlist/RadioPlaylistLinks.h"
#include "speech/TextToSpeech.h"
#include "speech/VoiceDialogs.h"

#include <QApplication>
#include <memory>

// Builds the engines, the shared state and the main window; the program ends
// when the main window closes.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quintaviel Software"));
    QCoreApplication::setApplicationName(QStringLiteral("Tolvar MP3 Radio"));

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

    tolvar.show();
    const int result = QApplication::exec();
    playlist.unload();
    return result;
}
