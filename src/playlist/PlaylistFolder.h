// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where saved playlists live: the per-user data folder, never beside the
// program (an installed program's folder may be on PATH). Playlists that were
// saved beside the program before are still listed and loaded from there.
class PlaylistFolder {
public:
    // The per-user data folder of this program, created when missing.
    static QString forThisProgram();
    // The program's own folder, where playlists used to be saved.
    static QString earlierForThisProgram();
};
