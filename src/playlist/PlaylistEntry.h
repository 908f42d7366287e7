// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// One entry of a playlist file as it is written, and the line it stands on.
struct PlaylistEntry {
    // 1-based, counting every line of the file.
    int line = 0;
    // A path (absolute, or relative to the playlist's folder) or a URL, as
    // written.
    QString text;
    // The line was longer than any path, and skipped (text is empty).
    bool tooLong = false;

    bool operator==(const PlaylistEntry&) const = default;
};
