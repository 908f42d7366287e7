// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "desktop/MediaControl.h"
#include "launch/BackgroundSongCollector.h"
#include "playlist/PylReader.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

class AcceptedPlaylist;
class MpegPlayer;
class RadioSettings;
class Sequencer;
class SpeechEngine;
struct SongInfo;

// The radio as the desktop's media controls see it. Transport requests go
// through the main window's transport commands, so a request made while the
// announcer talks between songs is held (or not, with Release) exactly like
// a button press. A playlist file is read off the GUI thread; its songs
// start when it has been read, and what it names that cannot be played is
// reported. GUI thread only.
class RadioMediaControl : public MediaControl {
    Q_OBJECT
public:
    struct Links {
        // Exits as the main window's "Close" does.
        std::function<void()> quit;
        // Shows the main window and brings it to the front.
        std::function<void()> raise;
    };

    // The most songs an opened playlist gives.
    static constexpr int PlaylistReadLimit = PylReader::kMaxEntries;

    RadioMediaControl(RadioSettings& settings, AcceptedPlaylist& playlist, Sequencer& sequencer,
                      MpegPlayer& player, SpeechEngine& voice, Links links,
                      QObject* parent = nullptr);

    PlaybackStatus status() const override;
    std::optional<TrackInfo> track() const override { return track_; }
    std::int64_t positionMs() const override;
    bool canGoNext() const override;
    bool canGoPrevious() const override { return canGoNext(); }
    bool canPlay() const override;
    bool canPause() const override;
    bool canSeek() const override;
    bool shuffle() const override;
    bool loop() const override;

    void play() override;
    void pause() override;
    void playPause() override;
    void stop() override;
    void next() override;
    void previous() override;
    QString openUri(const QUrl& uri) override;
    QString startSongs(const QStringList& songs) override;
    bool seekTo(std::int64_t ms) override;
    void setShuffle(bool on) override;
    void setLoop(bool on) override;

    void quit() override;
    void raise() override;

signals:
    // Something asked for cannot be played (an entry of an opened playlist,
    // with its line, or "nothing to play"): one line for the user.
    void reported(const QString& problem);

private:
    void onSongStarted();
    void onSongLength(std::int32_t totalFrames);
    void onSettingChanged(const QString& key);
    void onSongInfoRead(const QString& path, const SongInfo& info);
    void onPlaylistRead(const QStringList& songs, const QStringList& problems);
    void playNow(const QString& file);

    RadioSettings& settings_;
    AcceptedPlaylist& playlist_;
    Sequencer& sequencer_;
    MpegPlayer& player_;
    SpeechEngine& voice_;
    Links links_;
    std::optional<TrackInfo> track_;
    // Reads opened playlists; as the playlist window, it takes a long list
    // whole.
    BackgroundSongCollector playlists_{PlaylistReadLimit};
};
