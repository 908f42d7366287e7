// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "desktop/TrackInfo.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <cstdint>
#include <optional>

enum class PlaybackStatus { Playing, Paused, Stopped };

// What the desktop's media controls may ask of the radio. GUI thread only.
class MediaControl : public QObject {
    Q_OBJECT
public:
    explicit MediaControl(QObject* parent = nullptr) : QObject(parent) {}
    ~MediaControl() override = default;

    virtual PlaybackStatus status() const = 0;
    // The song last started; none before the first.
    virtual std::optional<TrackInfo> track() const = 0;
    virtual std::int64_t positionMs() const = 0;
    virtual bool canGoNext() const = 0;
    virtual bool canGoPrevious() const = 0;
    virtual bool canPlay() const = 0;
    virtual bool canPause() const = 0;
    // The song in hand can move to another place (seek).
    virtual bool canSeek() const = 0;
    // Songs follow in random order (the Random option).
    virtual bool shuffle() const = 0;
    // The radio plays the whole list round with its announcements (the Loop
    // option).
    virtual bool loop() const = 0;

    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void playPause() = 0;
    virtual void stop() = 0;
    virtual void next() = 0;
    virtual void previous() = 0;
    // Starts a playlist file or plays a song file. The empty text means it
    // was taken; any other text says why not.
    virtual QString openUri(const QUrl& uri) = 0;
    // Makes the songs the accepted playlist and starts it with the intro.
    // The empty text means it was taken; any other text says why not.
    virtual QString startSongs(const QStringList& songs) = 0;
    // Moves the song in hand to `ms` from its start; false when it cannot.
    virtual bool seekTo(std::int64_t ms) = 0;
    // Changed and saved as the options window saves them.
    virtual void setShuffle(bool on) = 0;
    virtual void setLoop(bool on) = 0;

    virtual void quit() = 0;
    virtual void raise() = 0;

signals:
    // Something a snapshot shows may have changed (status, track, options,
    // what can be done).
    void changed();
    // The song in hand moved to another place.
    void seeked(qint64 positionMs);
};
