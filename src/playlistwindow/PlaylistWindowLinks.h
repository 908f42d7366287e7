// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>
#include <functional>

// What the playlist window reaches outside itself. Each may be left empty; the
// window then skips that step.
struct PlaylistWindowLinks {
    // Plays the accepted playlist's SongFile at once (the sequencer's PlayIt).
    std::function<void()> playIt;
    // Shows the tag editor for the file, modally.
    std::function<void(const QString& tagFile)> showTagEditor;
    // Shows the options window, modally; it restores the pointer itself.
    std::function<void()> showOptions;
    // Opens an address in the user's browser.
    std::function<void(const QUrl&)> openUrl;
};
