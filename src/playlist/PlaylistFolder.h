#pragma once

#include <QString>

// Where saved playlists live: the program's own folder when the user may write
// there (a build tree, a portable copy), else the per-user data folder.
class PlaylistFolder {
public:
    // The folder for this running program; creates the per-user folder when
    // that is the one chosen.
    static QString forThisProgram();
    // The choice itself: programDir when it is a writable folder, else userDir.
    static QString choose(const QString& programDir, const QString& userDir);
};
