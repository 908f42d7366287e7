// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playlist/PlaylistEntry.h"
#include "playlist/PlaylistLines.h"

#include <QByteArrayView>
#include <QStringList>
#include <vector>

// Reads the entries of a .pyl playlist as its bytes come in, block by block:
// every line that PlaylistLines keeps is one entry, in the locale's 8-bit
// encoding. The program writes CR LF; LF alone, as other editors write, and a
// bare CR end a line too. Entries beyond kMaxEntries are not read.
class PylReader {
public:
    static constexpr qsizetype kMaxLineBytes = PlaylistLines::kMaxLineBytes;
    static constexpr qsizetype kMaxEntries = PlaylistLines::kMaxLines;

    void feed(QByteArrayView bytes) { lines_.feed(bytes); }
    // True once kMaxEntries are kept: the rest need not be fed.
    bool full() const { return lines_.full(); }
    // The entries, the last unterminated line included.
    QStringList finish();
    // The same with the line each stands on; the lines skipped for their
    // length come as tooLong entries.
    std::vector<PlaylistEntry> finishNumbered();

private:
    PlaylistLines lines_;
};
