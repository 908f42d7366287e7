// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct SongInfo;

// What listeners' players show for a song: "Artist - Title", else the
// title, else the file's name.
namespace StreamTitle {
QString ofFile(const QString& path);
QString ofSong(const QString& path, const SongInfo& info);
}  // namespace StreamTitle
