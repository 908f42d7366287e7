#include "app/RadioPlaylistLinks.h"

#include "options/Ops.h"
#include "tageditor/frmEditTags.h"

#include <QApplication>
#include <QDesktopServices>

PlaylistWindowLinks RadioPlaylistLinks(RadioSettings& settings, RandomSource& random,
                                       SpeechEngine& talk, std::function<void()> playIt)
{
    PlaylistWindowLinks links;
    links.playIt = std::move(playIt);
    // The playlist window is the modal window when its buttons are pressed.
    links.showTagEditor = [](const QString& tagFile) {
        frmEditTags::Open(tagFile, QApplication::activeModalWidget());
    };
    links.showOptions = [&settings, &random, &talk] {
        Ops options(settings, random, talk, QApplication::activeModalWidget());
        options.exec();
    };
    links.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return links;
}
