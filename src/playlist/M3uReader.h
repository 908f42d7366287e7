// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playlist/PlaylistEntry.h"

#include <QByteArrayView>
#include <vector>

// The entries of an .m3u or .m3u8 playlist: every line that is not blank and
// not a comment or directive ("#EXTM3U", "#EXTINF:...", any "#" line), in
// file order. .m3u8 is UTF-8; an .m3u is read as UTF-8 when it is valid
// UTF-8, else as Latin-1 (the code page older players wrote it in).
class M3uReader {
public:
    static std::vector<PlaylistEntry> entries(QByteArrayView bytes, bool utf8Only);
};
