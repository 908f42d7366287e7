// SPDX-License-Identifier: GPL-3.0-or-later
#include "broadcast/StreamTitle.h"

#include "files/NativePath.h"
#include "tags/SongInfo.h"

#include <QFileInfo>

namespace StreamTitle {
QString ofFile(const QString& path)
{
    return NativePath::readable(QFileInfo(path).fileName());
}

QString ofSong(const QString& path, const SongInfo& info)
{
    // The desktop's fuller texts first, the ID3v1 ones where those are empty.
    QString title = info.shownTitle.trimmed();
    if (title.isEmpty()) {
        title = info.title.trimmed();
    }
    QString artist = info.shownArtists.join(QStringLiteral(", ")).trimmed();
    if (artist.isEmpty()) {
        artist = info.artist.trimmed();
    }
    if (title.isEmpty()) {
        return ofFile(path);
    }
    return artist.isEmpty() ? title : QStringLiteral("%1 - %2").arg(artist, title);
}
}  // namespace StreamTitle
