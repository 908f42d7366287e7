#include "desktop/RadioMediaControl.h"

#include "audio/MpegPlayer.h"
#include "base/FileExists.h"
#include "base/TrimSpaces.h"
#include "desktop/MediaUri.h"
#include "playback/AcceptedPlaylist.h"
#include "playback/Sequencer.h"
#include "playlist/PlaylistStore.h"
#include "speech/SpeechEngine.h"
#include "tags/Id3v1Tag.h"
#include "tags/TagReader.h"

#include <QFileInfo>
#include <QTimer>
#include <algorithm>

namespace {
QString tagText(const QString& field)
{
    return trimSpaces(Id3v1Tag::beforeNul(field));
}

TrackInfo readTrack(const QString& path)
{
    TrackInfo track;
    track.path = path;
    if (const std::optional<TagEditState> tag = TagReader::GetTags(path); tag && tag->hasTag) {
        track.title = tagText(tag->title);
        track.artist = tagText(tag->artist);
        track.album = tagText(tag->album);
    }
    if (track.title.isEmpty()) {
        track.title = QFileInfo(path).fileName();
    }
    return track;
}
}  // namespace

RadioMediaControl::RadioMediaControl(AcceptedPlaylist& playlist, Sequencer& sequencer,
                                     MpegPlayer& player, SpeechEngine& voice, Links links,
                                     QObject* parent)
    : MediaControl(parent),
      playlist_(playlist),
      sequencer_(sequencer),
      player_(player),
      voice_(voice),
      links_(std::move(links))
{
    connect(&sequencer_, &Sequencer::songStarted, this, &RadioMediaControl::onSongStarted);
    connect(&sequencer_, &Sequencer::stateChanged, this, &MediaControl::changed);
    connect(&playlist_, &AcceptedPlaylist::changed, this, &MediaControl::changed);
}

void RadioMediaControl::onSongStarted()
{
    const std::uint64_t serial = track_ ? track_->serial + 1 : 1;
    track_ = readTrack(playlist_.SongFile());
    track_->serial = serial;
    track_->lengthMs = std::max<std::int64_t>(0, sequencer_.EndFrame());
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
    const std::int64_t first = std::max<std::int64_t>(1, sequencer_.StartFrame());
    const std::int64_t last = std::max<std::int64_t>(first, sequencer_.EndFrame());
    const std::int64_t percent = std::clamp(player_.GetPercent(), 0, 100);
    return first - 1 + (last - first) * percent / 100;
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

void RadioMediaControl::play()
{
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
        return QStringLiteral("Only local playlist (.pyl) and song files can be opened: %1")
            .arg(uri.toString());
    }
    if (!FileExists(target.path())) {
        return QStringLiteral("No such file, or it is empty: %1").arg(target.path());
    }
    if (target.kind() == MediaUri::Kind::Playlist) {
        return startPlaylist(target.path());
    }
    playNow(target.path());
    return {};
}

QString RadioMediaControl::startPlaylist(const QString& file)
{
    const QFileInfo info(file);
    const std::optional<QStringList> songs = PlaylistStore(info.absolutePath()).read(file);
    if (!songs || songs->isEmpty()) {
        return QStringLiteral("The playlist has no songs: %1").arg(file);
    }
    // Accepted and started as the playlist window's "Accept" does.
    playlist_.accept(*songs);
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
