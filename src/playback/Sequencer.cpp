// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/Sequencer.h"

#include "audio/MpegPlayer.h"
#include "audio/PlayerEvents.h"
#include "base/RandomSource.h"
#include "playback/AcceptedPlaylist.h"
#include "playback/Announcer.h"
#include "settings/RadioSettings.h"
#include "speech/SpeechEngine.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace {
std::optional<std::int32_t> frameFromText(const QString& text)
{
    bool ok = false;
    const std::int32_t frame = text.trimmed().toInt(&ok);
    return ok ? std::optional<std::int32_t>(frame) : std::nullopt;
}
}  // namespace

Sequencer::Sequencer(RadioSettings& settings, AcceptedPlaylist& playlist, RandomSource& random,
                     MpegPlayer& player, SpeechEngine& voice, Announcer& announcer, QObject* parent)
    : QObject(parent),
      settings_(settings),
      playlist_(playlist),
      random_(random),
      player_(player),
      voice_(voice),
      announcer_(announcer),
      schedule_(settings),
      next_(settings, playlist, random, schedule_),
      progressTimer_(this)
{
    // Named after the main window's timer whose on and off it keeps.
    progressTimer_.setObjectName(QStringLiteral("Timer1"));
    progressTimer_.setInterval(kTickInterval);
    connect(&progressTimer_, &QTimer::timeout, this, &Sequencer::showProgress);
    connect(&voice_, &SpeechEngine::speechFinished, this, &Sequencer::onVoiceOrNews);
    connect(&announcer_, &Announcer::newsAnswered, this, &Sequencer::onVoiceOrNews);
    connect(&songInfo_, &SongInfoLoader::loaded, this, &Sequencer::onSongInfo);
    connect(&nextInfo_, &SongInfoLoader::loaded, this,
            [this](const QString& path, const SongInfo& info) {
                if (path == aheadPath_) {
                    ahead_ = info;
                }
            });
    player_.setCrossfade(settings_.Crossfade * 1000);
    // The player tells a song's end when it happens; nothing asks it again.
    connect(&player_.events(), &PlayerEvents::songEnded, this, &Sequencer::CheckSongEnd);
    connect(&player_.events(), &PlayerEvents::songOpened, this, &Sequencer::onSongOpened);
    connect(&player_.events(), &PlayerEvents::songFailed, this, &Sequencer::onSongFailed);
    // What follows at the end may change with the settings or the list.
    connect(&settings_, &RadioSettings::changed, this, [this](const QString& key) {
        if (key == settings_.Crossfade.key()) {
            player_.setCrossfade(settings_.Crossfade * 1000);
        }
        if (Playing()) {
            loadAhead();
        }
    });
    connect(&playlist_, &AcceptedPlaylist::changed, this, [this] { next_.forgetPick(); });
    // The tick starts with the first song: before that there is nothing to
    // follow, and an idle radio should not wake ten times a second.
}

bool Sequencer::holding() const
{
    return waitingForVoice() && !settings_.Release;
}

void Sequencer::command(TransportCommand command)
{
    if (holding()) {
        held_.hold(command);
        return;
    }
    run(command);
}

void Sequencer::runOrHold(QObject* context, std::function<void()> action)
{
    if (holding()) {
        held_.hold(context, std::move(action));
        return;
    }
    action();
}

void Sequencer::startAcceptedList()
{
    // No song to start (a first start that saved an empty list), no intro.
    if (playlist_.SongFile().isEmpty()) {
        return;
    }
    random_.seedFromClock();
    announcer_.speakIntro();
    PlayIt();
}

PlaybackState Sequencer::state() const
{
    switch (phase_) {
        case Phase::Stopped:
            break;
        case Phase::Playing:
        case Phase::Failing:
            return PlaybackState::Playing;
        case Phase::Paused:
            return PlaybackState::Paused;
        case Phase::WaitingForVoice:
            // Between songs, while the announcer talks, the radio is on air.
            return PlaybackState::WaitingForVoice;
    }
    return PlaybackState::Stopped;
}

void Sequencer::publishState()
{
    const PlaybackState now = state();
    if (now != published_) {
        published_ = now;
        emit stateChanged(now);
    }
}

void Sequencer::run(TransportCommand command)
{
    switch (command) {
        case TransportCommand::Forward:
            NextSong();
            break;
        case TransportCommand::Pause:
            TogglePause();
            break;
        case TransportCommand::Play:
            PlayIt();
            break;
        case TransportCommand::Stop:
            StopSong();
            break;
        case TransportCommand::Reverse:
            PreviousSong();
            break;
    }
}

void Sequencer::PlayIt()
{
    supersedeWait();
    startSong();
    progressTimer_.start();
    publishState();
}

void Sequencer::NextSong()
{
    supersedeWait();
    const std::int64_t next = std::int64_t{playlist_.SongIndex()} + 1;
    advanceTo(next > playlist_.SongCount() ? 1 : next);
    publishState();
}

void Sequencer::PreviousSong()
{
    supersedeWait();
    const std::int64_t previous = std::int64_t{playlist_.SongIndex()} - 1;
    advanceTo(previous <= 0 ? playlist_.SongCount() : previous);
    publishState();
}

void Sequencer::advanceTo(std::int64_t index)
{
    if (index < std::numeric_limits<std::int32_t>::min() ||
        index > std::numeric_limits<std::int32_t>::max()) {
        phase_ = Phase::Stopped;
        return;
    }
    playlist_.setSongIndex(static_cast<std::int32_t>(index));
    const std::optional<QString> path = playlist_.song(playlist_.SongIndex());
    if (!path) {
        phase_ = Phase::Stopped;
        return;
    }
    playlist_.setSongFile(*path);
    player_.CloseMPEG();
    startSong();
}

void Sequencer::TogglePause()
{
    if (!paused_) {
        player_.PauseMPEG();
        paused_ = true;
        progressTimer_.stop();
        if (phase_ == Phase::Playing) {
            phase_ = Phase::Paused;
        }
    } else {
        player_.ResumeMPEG();
        paused_ = false;
        progressTimer_.start();
        if (phase_ == Phase::Paused) {
            phase_ = Phase::Playing;
        }
    }
    publishState();
}

void Sequencer::StopSong()
{
    // Headlines still on their way would be read after the radio stopped.
    announcer_.dropNews();
    supersedeWait();
    phase_ = Phase::Stopped;
    player_.StopMPEG();
    progressTimer_.stop();
    publishState();
}

void Sequencer::startSong()
{
    const bool opened = OpenSong(windowHandle_, playlist_.SongFile());
    const QString flushFrom = QString::number(settings_.FlushCount);
    if (settings_.FlushBack) {
        PlayRange(QStringLiteral("10"), QString());
        player_.StopMPEG();
        PlayRange(flushFrom, QString());
    } else {
        PlayRange(QString(), QString());
    }
    ++songStarts_;
    if (!opened) {
        phase_ = Phase::Failing;
        scheduleFailedEnd();
    }
    loadAhead();
    emit songStarted();
}

// The song after the one in hand goes to the player ahead.
void Sequencer::loadAhead()
{
    const std::optional<NextSongPlanner::Ahead> ahead = next_.planAhead(phase_ != Phase::Failing);
    if (ahead) {
        player_.preloadNext(ahead->path, ahead->followOn, ahead->firstFrame);
    }
    const QString path = ahead ? ahead->path : QString();
    if (path != aheadPath_) {
        // Nothing of the song looked ahead at before is said of this one.
        aheadPath_ = path;
        ahead_ = {};
        nextInfo_.cancel();
        if (!path.isEmpty()) {
            nextInfo_.load(path);
        }
    }
}

void Sequencer::onSongOpened(const OpenedSong& song)
{
    failedInRow_.clear();
    if (endFrame_ == MpegPlayer::kLengthPending && song.totalFrames != MpegPlayer::kLengthPending) {
        endFrame_ = song.totalFrames;
        emit songLengthKnown(song.totalFrames);
    }
}

// A song taken by OpenMPEG turned out unplayable: it ends at once, failed.
void Sequencer::onSongFailed()
{
    if (Playing()) {
        phase_ = Phase::Failing;
    }
    next_.dropFollowOn();
    CheckSongEnd();
}

bool Sequencer::OpenSong(quintptr windowHandle, const QString& path)
{
    // Whatever is opened now, the title of the song before is no longer the
    // one that just played.
    songTitle_.clear();
    songArtist_.clear();
    songInfo_.cancel();
    if (path.isEmpty() || path == QLatin1String("error")) {
        return false;
    }
    if (!player_.OpenMPEG(windowHandle, path, QStringLiteral("MPEGVideo")).isEmpty()) {
        return false;
    }
    ReadSongTitle(path);
    progressTimer_.start();
    return true;
}

void Sequencer::ReadSongTitle(const QString& path)
{
    songInfo_.load(path);
}

void Sequencer::onSongInfo(const QString& path, const SongInfo& info)
{
    songTitle_ = info.title;
    songArtist_ = info.artist;
    emit songInfoRead(path, info);
}

QString Sequencer::PlayRange(const QString& start, const QString& end)
{
    phase_ = Phase::Playing;
    const std::optional<std::int32_t> first = frameFromText(start);
    const std::optional<std::int32_t> last = frameFromText(end);
    startFrame_ = first.value_or(1);
    endFrame_ = last ? *last : player_.GetTotalframes();
    firstRangeStart_.reset();
    return player_.PlayMPEG(startFrame_, endFrame_);
}

bool Sequencer::canSeek() const
{
    return (phase_ == Phase::Playing || phase_ == Phase::Paused) && endFrame_ > 0;
}

bool Sequencer::seekTo(std::int64_t ms)
{
    if (!canSeek()) {
        return false;
    }
    if (!firstRangeStart_) {
        firstRangeStart_ = startFrame_;
    }
    // From the first frame that reads back as `ms`; the last one is kept, so
    // the end still comes.
    startFrame_ = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(player_frame::offsetAtMs(ms), 0, endFrame_ - 1) + 1);
    player_.PlayMPEG(startFrame_, endFrame_);
    if (phase_ == Phase::Paused) {
        player_.PauseMPEG();
    }
    return true;
}

void Sequencer::scheduleFailedEnd()
{
    // Through the event loop, so a long run of broken files never nests.
    QTimer::singleShot(0, this, [this, start = songStarts_] {
        if (start == songStarts_) {
            CheckSongEnd();
        }
    });
}

void Sequencer::showProgress()
{
    emit percentShown(shownPercent());
}

int Sequencer::shownPercent()
{
    if (!firstRangeStart_) {
        return std::clamp(player_.GetPercent(), 0, 100);
    }
    // The player counts from the range a seek started; the gauge keeps
    // counting over the song's first range.
    const std::int64_t origin = std::int64_t{*firstRangeStart_} - 1;
    const std::int64_t span = std::int64_t{endFrame_} - origin;
    if (span <= 0) {
        return 100;
    }
    const std::int64_t done = player_frame::offsetAtMs(player_.GetPositionMs()) - origin;
    return static_cast<int>(std::clamp<std::int64_t>(done * 100 / span, 0, 100));
}

void Sequencer::CheckSongEnd()
{
    if (waitingForVoice()) {
        return;  // the end in hand is still waiting for the voice
    }
    if (!Playing()) {
        schedule_.clearDue();
        return;
    }
    const bool failed = phase_ == Phase::Failing;
    random_.seedFromClock();
    phase_ = Phase::Stopped;
    if (failed && giveUpAfterFailure()) {
        schedule_.clearDue();
        return;
    }
    shuffle();
    if (failed) {
        // Nothing was heard, so there is nothing to count or talk about.
        finishSongEnd();
        return;
    }
    if (settings_.Loops) {
        countAndAnnounce();
    }
    if (next_.stopFollowerAtEnd(!settings_.Slow && voiceBusy())) {
        player_.StopMPEG();
    }
    WaitForSpeech();
    publishState();
}

bool Sequencer::giveUpAfterFailure()
{
    if (!failedInRow_.add(playlist_.SongIndex(), playlist_.SongCount())) {
        return false;
    }
    StopSong();
    return true;
}

void Sequencer::shuffle()
{
    if (const std::optional<std::int32_t> pick = next_.takePick()) {
        playlist_.setSongIndex(*pick);
    }
}

void Sequencer::countAndAnnounce()
{
    schedule_.countSong();
    // The one stop of the voice at a song end: whatever is still being said
    // (an intro) gives way to the announcements.
    voice_.stop();
    if (schedule_.timeToAnnounce()) {
        announcer_.AnnounceTime(songTitle_, songArtist_);
        songTitle_.clear();
        songArtist_.clear();
    }
    if (schedule_.newsToAnnounce()) {
        announcer_.AnnounceNews();
    }
    progressTimer_.stop();
}

void Sequencer::WaitForSpeech()
{
    if (settings_.Slow) {
        finishSongEnd();
        return;
    }
    progressTimer_.stop();
    if (!voiceBusy()) {
        endWait();
        return;
    }
    // The voice's speechFinished and the announcer's newsAnswered end it.
    phase_ = Phase::WaitingForVoice;
}

bool Sequencer::voiceBusy() const
{
    return voice_.speakingState() != 0 || announcer_.newsPending();
}

void Sequencer::onVoiceOrNews()
{
    if (waitingForVoice() && !voiceBusy()) {
        endWait();
    }
}

// The wait ends only once the voice is silent, so there is nothing left to
// stop.
void Sequencer::endWait()
{
    phase_ = Phase::Stopped;
    progressTimer_.start();
    finishSongEnd();
    runHeldCommands();
    publishState();
}

void Sequencer::finishSongEnd()
{
    progressTimer_.start();
    if (schedule_.backToTheMusicDue()) {
        announcer_.backToTheMusic(ahead_.title, ahead_.artist);
    }
    NextSong();
    schedule_.clearDue();
}

void Sequencer::supersedeWait()
{
    if (!waitingForVoice()) {
        return;
    }
    // The song whose end was waiting is no longer the one that matters; what
    // the announcer is saying may still finish.
    phase_ = Phase::Stopped;
    schedule_.clearDue();
    // Held transport commands go with it; the other held controls still
    // run, once the song that replaces the wait has started.
    held_.dropCommands();
    if (!held_.empty()) {
        QTimer::singleShot(0, this, &Sequencer::runHeldCommands);
    }
}

void Sequencer::runHeldCommands()
{
    while (!held_.empty() && !waitingForVoice()) {
        held_.runFirst([this](TransportCommand command) { run(command); });
    }
}

void Sequencer::halt()
{
    if (waitingForVoice()) {
        phase_ = Phase::Stopped;
    }
    schedule_.clearDue();
    announcer_.dropNews();
    held_.clear();
    progressTimer_.stop();
    publishState();
}
