#include "playlist/RadioPlaylistLinks.h"

#include "settings/Ops.h"
#include "tags/frmEditTags.h"

#include <QApplication>
#include <QDesktopServices>

PlaylistWindowLinks RadioPlaylistLinks(Tolvars& state, SpeechEngine& talk,
                                       std::function<void()> playIt)
{
    PlaylistWindowLinks links;
    links.playIt = std::move(playIt);
    // The playlist window is the modal window when its buttons are pressed.
    links.showTagEditor = [&state] { frmEditTags::Open(state, QApplication::activeModalWidget()); };
    links.showOptions = [&state, &talk] {
        Ops options(state, talk, QApplication::activeModalWidget());
        options.exec();
    };
    links.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return links;
}
