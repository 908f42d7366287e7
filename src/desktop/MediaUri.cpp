// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/MediaUri.h"

#include "playlist/PlaylistFile.h"

#include <QFileInfo>

namespace {
// The playlist window's file pattern "*.mp3;*.mp2;*.wav;*.mid*", where the
// last one also admits ".midi".
bool isSongSuffix(const QString& suffix)
{
    return suffix == QLatin1String("mp3") || suffix == QLatin1String("mp2") ||
           suffix == QLatin1String("wav") || suffix.startsWith(QLatin1String("mid"));
}
}  // namespace

MediaUri MediaUri::classify(const QUrl& uri)
{
    if (!uri.isValid() || !uri.isLocalFile()) {
        return {Kind::Unsupported, {}};
    }
    QString path = uri.toLocalFile();
    if (PlaylistFile::formatOf(path)) {
        return {Kind::Playlist, std::move(path)};
    }
    // Matched without regard to case, as the playlist window matches.
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (isSongSuffix(suffix)) {
        return {Kind::Song, std::move(path)};
    }
    return {Kind::Unsupported, std::move(path)};
}

QStringList MediaUri::supportedMimeTypes()
{
    return {QStringLiteral("audio/mpeg"),      QStringLiteral("audio/mp2"),
            QStringLiteral("audio/x-mp2"),     QStringLiteral("audio/wav"),
            QStringLiteral("audio/x-wav"),     QStringLiteral("audio/midi"),
            QStringLiteral("audio/x-midi"),    QStringLiteral("audio/x-tolvar-playlist"),
            QStringLiteral("audio/x-mpegurl"), QStringLiteral("application/vnd.apple.mpegurl"),
            QStringLiteral("audio/x-scpls")};
}
