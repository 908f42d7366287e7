// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/M3uReader.h"

#include "playlist/PlaylistText.h"

std::vector<PlaylistEntry> M3uReader::entries(QByteArrayView bytes, bool utf8Only)
{
    std::vector<PlaylistEntry> entries;
    for (PlaylistText::Line& line : PlaylistText::lines(bytes, utf8Only)) {
        // "#EXTINF:" titles are not needed: the radio names songs by their tags.
        if (!line.text.startsWith(u'#')) {
            entries.push_back({line.number, std::move(line.text), line.tooLong});
        }
    }
    return entries;
}
