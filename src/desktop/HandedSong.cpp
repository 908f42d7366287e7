// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/HandedSong.h"

#include "files/NativePath.h"

namespace {

QString quoted(const QString& entry)
{
    return QLatin1Char('"') + NativePath::readable(entry) + QLatin1Char('"');
}

}  // namespace

QString refusalOfHandedSong(const QString& entry)
{
    // Relative to what? The radio's working folder is not the caller's; and
    // an address ("file://...", "http://...") is no path.
    if (!entry.startsWith(QLatin1Char('/'))) {
        return QStringLiteral("Not the absolute path of a song file: %1").arg(quoted(entry));
    }
    // Looked at, not opened: the player opens it when it plays.
    const std::optional<struct stat> info = NativePath::status(entry);
    if (!info) {
        return QStringLiteral("No such file: %1").arg(quoted(entry));
    }
    if (!S_ISREG(info->st_mode)) {
        return QStringLiteral("Not a regular file: %1").arg(quoted(entry));
    }
    return {};
}
