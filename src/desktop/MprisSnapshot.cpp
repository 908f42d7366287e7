// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/MprisSnapshot.h"

#include <QDBusObjectPath>
#include <QUrl>

MprisSnapshot MprisSnapshot::of(const MediaControl& control)
{
    MprisSnapshot snapshot;
    snapshot.playbackStatus = statusText(control.status());
    snapshot.track = control.track();
    snapshot.canGoNext = control.canGoNext();
    snapshot.canGoPrevious = control.canGoPrevious();
    snapshot.canPlay = control.canPlay();
    snapshot.canPause = control.canPause();
    snapshot.canSeek = control.canSeek();
    snapshot.shuffle = control.shuffle();
    snapshot.loopStatus = loopText(control.loop());
    return snapshot;
}

QVariantMap MprisSnapshot::changedSince(const MprisSnapshot& before) const
{
    QVariantMap changed;
    if (playbackStatus != before.playbackStatus) {
        changed.insert(QStringLiteral("PlaybackStatus"), playbackStatus);
    }
    if (track != before.track) {
        changed.insert(QStringLiteral("Metadata"), metadata(track));
    }
    const auto flag = [&changed](const char* name, bool now, bool then) {
        if (now != then) {
            changed.insert(QLatin1String(name), now);
        }
    };
    flag("CanGoNext", canGoNext, before.canGoNext);
    flag("CanGoPrevious", canGoPrevious, before.canGoPrevious);
    flag("CanPlay", canPlay, before.canPlay);
    flag("CanPause", canPause, before.canPause);
    flag("CanSeek", canSeek, before.canSeek);
    flag("Shuffle", shuffle, before.shuffle);
    if (loopStatus != before.loopStatus) {
        changed.insert(QStringLiteral("LoopStatus"), loopStatus);
    }
    return changed;
}

QString MprisSnapshot::loopText(bool loop)
{
    return loop ? QStringLiteral("Playlist") : QStringLiteral("None");
}

QString MprisSnapshot::statusText(PlaybackStatus status)
{
    switch (status) {
        case PlaybackStatus::Playing:
            return QStringLiteral("Playing");
        case PlaybackStatus::Paused:
            return QStringLiteral("Paused");
        case PlaybackStatus::Stopped:
            break;
    }
    return QStringLiteral("Stopped");
}

QString MprisSnapshot::trackId(const TrackInfo& track)
{
    return QStringLiteral("/org/tolvar/Radio/Track/%1").arg(track.serial);
}

QVariantMap MprisSnapshot::metadata(const std::optional<TrackInfo>& track)
{
    QVariantMap map;
    if (!track) {
        return map;
    }
    map.insert(QStringLiteral("mpris:trackid"),
               QVariant::fromValue(QDBusObjectPath(trackId(*track))));
    map.insert(QStringLiteral("xesam:title"), track->title);
    map.insert(QStringLiteral("xesam:url"),
               QUrl::fromLocalFile(track->path).toString(QUrl::FullyEncoded));
    if (track->lengthMs > 0) {
        map.insert(QStringLiteral("mpris:length"), qlonglong{track->lengthMs * 1000});
    }
    if (!track->artists.isEmpty()) {
        map.insert(QStringLiteral("xesam:artist"), track->artists);
    }
    if (!track->album.isEmpty()) {
        map.insert(QStringLiteral("xesam:album"), track->album);
    }
    if (track->trackNumber > 0) {
        map.insert(QStringLiteral("xesam:trackNumber"), track->trackNumber);
    }
    return map;
}
