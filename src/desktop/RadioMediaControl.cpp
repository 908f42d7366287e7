// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/RadioMediaControl.h"

#include "audio/MpegPlayer.h"
#include "base/FileExists.h"
#include "desktop/MediaUri.h"
#include "files/NativePath.h"
#include "playback/AcceptedPlaylist.h"
#include "playback/Sequencer.h"
#include "settings/RadioSettings.h"
#include "speech/SpeechEngine.h"
#include "tags/SongInfo.h"

#include <QFileInfo>
#include <QTimer>
#include <algorithm>

RadioMediaControl::RadioMediaControl(RadioSettings& settings, AcceptedPlaylist& playlist,
                                     Sequencer& sequencer, MpegPlayer& player, SpeechEngine& voice,
                                     Links links, QObject* parent)
    : MediaControl(parent),
      settings_(settings),
      playlist_(playlist),
      sequencer_(sequencer),
      player_(player),
      voice_(voice),
      links_(std::move(links))
{
    connect(&sequencer_, &Sequencer::songStarted, this, &RadioMediaControl::onSongStarted);
    connect(&sequencer_, &Sequencer::songInfoRead, this, &RadioMediaControl::onSongInfoRead);
    connect(&sequencer_, &Sequencer::songLengthKnown, this, &RadioMediaControl::onSongLength);
    connect(&sequencer_, &Sequencer::stateChanged, this, &MediaControl::changed);
    connect(&playlist_, &AcceptedPlaylist::changed, this, &MediaControl::changed);
    connect(&settings_, &RadioSettings::changed, this, &RadioMediaControl::onSettingChanged);
    connect(&playlists_, &BackgroundSongCollector::collected, this,
            &RadioMediaControl::onPlaylistRead);
}

void RadioMediaControl::onSettingChanged(const QString& key)
{
    if (key == settings_.Rands.key() || key == settings_.Loops.key()) {
        emit changed();
    }
}

void RadioMediaControl::onSongStarted()
{
    TrackInfo track;
    track.serial = track_ ? track_->serial + 1 : 1;
    track.path = playlist_.SongFile();
    // Named by its file until the tags, read off this thread, tell more.
    track.title = NativePath::readable(QFileInfo(track.path).fileName());
    // The player may still be finding the length: then it comes later.
    const std::int32_t last = sequencer_.EndFrame();
    track.lengthMs = last == MpegPlayer::kLengthPending ? 0 : player_frame::msAt(last);
    track_ = std::move(track);
    emit changed();
}

void RadioMediaControl::onSongLength(std::int32_t totalFrames)
{
    if (track_) {
        track_->lengthMs = player_frame::msAt(totalFrames);
        emit changed();
    }
}

void RadioMediaControl::onSongInfoRead(const QString& path, const SongInfo& info)
{
    if (!track_ || track_->path != path) {
        return;
    }
    // The fuller texts: the announcer keeps the ID3v1 title, the desktop has
    // room for the whole one.
    if (!info.shownTitle.isEmpty()) {
        track_->title = info.shownTitle;
    }
    track_->artists = info.shownArtists;
    track_->album = info.shownAlbum;
    track_->trackNumber = info.trackNumber;
    // The player's length counts to the sample; the tags' is a header's word.
    if (track_->lengthMs == 0) {
        track_->lengthMs = info.lengthMs;
    }
    emit changed();
}

PlaybackStatus RadioMediaControl::status() const
{
    switch (sequencer_.state()) {
        case PlaybackState::Stopped:
            return PlaybackStatus::Stopped;
        case PlaybackState::Paused:
            return PlaybackStatus::Paused;
        case PlaybackState::Playing:
        case PlaybackState::WaitingForVoice:
            // Between songs, while the announcer talks, the radio is on air.
            break;
    }
    return PlaybackStatus::Playing;
}

std::int64_t RadioMediaControl::positionMs() const
{
    if (!track_ || status() == PlaybackStatus::Stopped) {
        return 0;
    }
    return std::max<std::int64_t>(0, player_.GetPositionMs());
}

bool RadioMediaControl::canGoNext() const
{
    return playlist_.SongCount() > 0;
}

bool RadioMediaControl::canPlay() const
{
    return !playlist_.SongFile().isEmpty();
}

bool RadioMediaControl::canPause() const
{
    return canPlay() || status() != PlaybackStatus::Stopped;
}

bool RadioMediaControl::canSeek() const
{
    return track_.has_value() && sequencer_.canSeek();
}

bool RadioMediaControl::shuffle() const
{
    return settings_.Rands;
}

bool RadioMediaControl::loop() const
{
    return settings_.Loops;
}

void RadioMediaControl::setShuffle(bool on)
{
    settings_.Rands = on;
    settings_.write(settings_.Rands);
}

void RadioMediaControl::setLoop(bool on)
{
    settings_.Loops = on;
    settings_.write(settings_.Loops);
}

bool RadioMediaControl::seekTo(std::int64_t ms)
{
    if (!canSeek() || !sequencer_.seekTo(ms)) {
        return false;
    }
    emit seeked(positionMs());
    return true;
}

void RadioMediaControl::play()
{
    // While the announcer talks between songs the radio reads as playing, but
    // a Pause held meanwhile would run once it is done: Play is held too and
    // decides then, after what was asked before it.
    if (sequencer_.holding()) {
        sequencer_.runOrHold(this, [this] { play(); });
        return;
    }
    switch (status()) {
        case PlaybackStatus::Paused:
            sequencer_.command(TransportCommand::Pause);
            break;
        case PlaybackStatus::Stopped:
            if (canPlay()) {
                sequencer_.command(TransportCommand::Play);
            }
            break;
        case PlaybackStatus::Playing:
            break;
    }
}

void RadioMediaControl::pause()
{
    if (status() != PlaybackStatus::Playing) {
        return;
    }
    if (sequencer_.paused()) {
        // The switch is still set from before a song change: the first
        // toggle only clears it, the second pauses.
        sequencer_.command(TransportCommand::Pause);
    }
    sequencer_.command(TransportCommand::Pause);
}

void RadioMediaControl::playPause()
{
    if (status() == PlaybackStatus::Playing) {
        pause();
    } else {
        play();
    }
}

void RadioMediaControl::stop()
{
    sequencer_.command(TransportCommand::Stop);
}

void RadioMediaControl::next()
{
    // Forward without a playlist would only drop the song in hand.
    if (canGoNext()) {
        sequencer_.command(TransportCommand::Forward);
    }
}

void RadioMediaControl::previous()
{
    if (canGoPrevious()) {
        sequencer_.command(TransportCommand::Reverse);
    }
}

QString RadioMediaControl::openUri(const QUrl& uri)
{
    const MediaUri target = MediaUri::classify(uri);
    if (target.kind() == MediaUri::Kind::Unsupported) {
        return QStringLiteral(
                   "Only local playlist (.pyl, .m3u, .m3u8, .pls) and song files can be opened: %1")
            .arg(uri.toString());
    }
    if (!FileExists(target.path())) {
        return QStringLiteral("No such file, or it is empty: %1")
            .arg(NativePath::readable(target.path()));
    }
    if (target.kind() == MediaUri::Kind::Playlist) {
        // What plays goes on until the playlist is known to hold songs.
        playlists_.start({target.path()});
        return {};
    }
    playNow(target.path());
    return {};
}

void RadioMediaControl::onPlaylistRead(const QStringList& songs, const QStringList& problems)
{
    for (const QString& problem : problems) {
        emit reported(problem);
    }
    if (songs.isEmpty()) {
        emit reported(QStringLiteral("nothing to play"));
        return;
    }
    startSongs(songs);
}

QString RadioMediaControl::startSongs(const QStringList& songs)
{
    if (songs.isEmpty()) {
        return QStringLiteral("There are no songs to play");
    }
    // Accepted and started as the playlist window's "Accept" does.
    playlist_.accept(songs);
    voice_.stop();
    sequencer_.startAcceptedList();
    return {};
}

void RadioMediaControl::playNow(const QString& file)
{
    // As a double-click in the playlist window: the accepted list stays.
    player_.CloseMPEG();
    playlist_.setSongFile(file);
    sequencer_.PlayIt();
}

void RadioMediaControl::quit()
{
    // Later, so the caller gets its answer before the program goes away.
    if (links_.quit) {
        QTimer::singleShot(0, this, links_.quit);
    }
}

void RadioMediaControl::raise()
{
    if (links_.raise) {
        links_.raise();
    }
}
