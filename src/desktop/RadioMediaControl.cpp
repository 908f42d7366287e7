#include "desktop/RadioMediaControl.h"

#include "audio/MpegPlayer.h"
#include "core/Announcer.h"
#include "core/Sequencer.h"
#include "core/Tolvars.h"
#include "core/TrimSpaces.h"
#include "desktop/MediaUri.h"
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

RadioMediaControl::RadioMediaControl(Tolvars& state, Sequencer& sequencer, MpegPlayer& player,
                                     SpeechEngine& voice, Announcer& announcer, Links links,
                                     QObject* parent)
    : QObject(parent),
      state_(state),
      sequencer_(sequencer),
      player_(player),
      voice_(voice),
      announcer_(announcer),
      links_(std::move(links))
{
    connect(&sequencer_, &Sequencer::songStarted, this, &RadioMediaControl::onSongStarted);
}

void RadioMediaControl::onSongStarted()
{
    const std::uint64_t serial = track_ ? track_->serial + 1 : 1;
    track_ = readTrack(state_.SongFile);
    track_->serial = serial;
    track_->lengthMs = std::max<std::int64_t>(0, state_.EndFrame);
}

PlaybackStatus RadioMediaControl::status() const
{
    // Between songs, while the announcer talks, the radio is still on air.
    if (sequencer_.waitingForVoice()) {
        return PlaybackStatus::Playing;
    }
    if (!state_.Playing) {
        return PlaybackStatus::Stopped;
    }
    // The pause switch outlives a song change (Pause, then Forward plays the
    // next song with the switch still set); a paused song has the timer off.
    if (sequencer_.paused() && !sequencer_.timer1().isActive()) {
        return PlaybackStatus::Paused;
    }
    return PlaybackStatus::Playing;
}

std::int64_t RadioMediaControl::positionMs() const
{
    if (!track_ || status() == PlaybackStatus::Stopped) {
        return 0;
    }
    const std::int64_t first = std::max<std::int64_t>(1, state_.StartFrame);
    const std::int64_t last = std::max<std::int64_t>(first, state_.EndFrame);
    const std::int64_t percent = std::clamp(player_.GetPercent(), 0, 100);
    return first - 1 + (last - first) * percent / 100;
}

bool RadioMediaControl::canGoNext() const
{
    return state_.SongCount > 0 && state_.song(1).has_value();
}

bool RadioMediaControl::canPlay() const
{
    return !state_.SongFile.isEmpty();
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
    // Loaded as the playlist window loads, then accepted and started as its
    // "Accept" does.
    state_.SongIndex = 1;
    state_.SongList = songs->mid(0, kMaxSongs);
    state_.SongCount = static_cast<std::int32_t>(state_.SongList.size());
    state_.SongFile = state_.SongList.constFirst();
    state_.ListAccepted = true;
    voice_.stop();
    state_.Random.seedFromClock();
    announcer_.speakIntro();
    sequencer_.PlayIt();
    return {};
}

void RadioMediaControl::playNow(const QString& file)
{
    // As a double-click in the playlist window: the accepted list stays.
    player_.CloseMPEG();
    state_.SongFile = file;
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
