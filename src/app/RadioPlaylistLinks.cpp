// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RadioPlaylistLinks.h"

#include "options/Ops.h"
#include "tageditor/frmEditTags.h"

#include <QApplication>
#include <QDesktopServices>
#include <QPointer>

PlaylistWindowLinks RadioPlaylistLinks(RadioSettings& settings, RandomSource& random,
                                       SpeechEngine& talk, std::function<void()> playIt,
                                       BroadcastSetting* broadcast)
{
    PlaylistWindowLinks links;
    links.playIt = std::move(playIt);
    // The playlist window is the modal window when its buttons are pressed.
    links.showTagEditor = [](const QString& tagFile) {
        frmEditTags::Open(tagFile, QApplication::activeModalWidget());
    };
    // On the heap and guarded: a quit may end the windows under it while it
    // is shown, and they take their child windows with them.
    links.showOptions = [&settings, &random, &talk, broadcast] {
        QPointer<Ops> options = new Ops(settings, random, talk, QApplication::activeModalWidget());
        options->setBroadcastSetting(broadcast);
        options->exec();
        delete options.data();
    };
    links.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return links;
}
