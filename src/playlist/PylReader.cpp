// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PylReader.h"

#include "files/NativePath.h"

#include <algorithm>

QStringList PylReader::finish()
{
    QStringList entries;
    for (const PlaylistLines::Line& line : lines_.finish()) {
        entries.append(NativePath::fromBytes(line.bytes));
    }
    return entries;
}

std::vector<PlaylistEntry> PylReader::finishNumbered()
{
    std::vector<PlaylistEntry> entries;
    for (const PlaylistLines::Line& line : lines_.finish()) {
        entries.push_back({line.number, NativePath::fromBytes(line.bytes)});
    }
    for (const int number : lines_.overlong()) {
        entries.push_back({number, QString(), true});
    }
    std::stable_sort(
        entries.begin(), entries.end(),
        [](const PlaylistEntry& a, const PlaylistEntry& b) { return a.line < b.line; });
    return entries;
}
