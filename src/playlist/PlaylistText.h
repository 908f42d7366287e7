// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playlist/PlaylistLines.h"

#include <QByteArrayView>
#include <QString>
#include <vector>

// The lines of another player's playlist file as text: UTF-8 where the bytes
// are UTF-8 (always, with utf8Only), else Latin-1; a byte-order mark before
// the first line and white space around each line removed, blank lines
// skipped.
struct PlaylistText {
    struct Line {
        int number = 0;
        QString text;
        // Longer than any path, and skipped (text is empty).
        bool tooLong = false;
    };

    static std::vector<Line> lines(QByteArrayView bytes, bool utf8Only);
};
