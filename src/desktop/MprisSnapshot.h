// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "desktop/MediaControl.h"

#include <QString>
#include <QVariantMap>
#include <optional>

// The player properties that change while the radio runs, as last announced
// on the bus. Position is left out: clients read it when they need it.
struct MprisSnapshot {
    QString playbackStatus;
    std::optional<TrackInfo> track;
    bool canGoNext = false;
    bool canGoPrevious = false;
    bool canPlay = false;
    bool canPause = false;
    bool canSeek = false;
    bool shuffle = false;
    QString loopStatus;

    static MprisSnapshot of(const MediaControl& control);

    // The properties whose values differ from `before`, by name.
    QVariantMap changedSince(const MprisSnapshot& before) const;

    static QString statusText(PlaybackStatus status);
    // "Playlist" or "None": the radio has no repeat of one track.
    static QString loopText(bool loop);
    // The track's metadata: an object path as track id, the title, the file
    // URL, the length in microseconds; the empty map without a track.
    static QVariantMap metadata(const std::optional<TrackInfo>& track);
    static QString trackId(const TrackInfo& track);

    bool operator==(const MprisSnapshot&) const = default;
};
