#include "playback/Sequencer.h"

#include "audio/MpegPlayer.h"
#include "audio/PlayerEvents.h"
#include "base/RandomSource.h"
#include "playback/AcceptedPlaylist.h"
#include "playback/Announcer.h"
#include "playback/SongCounting.h"
#include "settings/RadioSettings.h"
#include "speech/SpeechEngine.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {
using song_counting::countSong;
using song_counting::frameFromText;
const QString kBackToTheMusic = QStringLiteral("And now,  back to the music.");
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
      next_(settings, playlist, random, player),
      timer1_(this)
{
    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(kTickInterval);
    connect(&timer1_, &QTimer::timeout, this, &Sequencer::Timer1_Timer);
    connect(&voice_, &SpeechEngine::speechFinished, this, &Sequencer::onVoiceOrNews);
    // The way back to the music closes the headlines; cut, it is not said.
    connect(&voice_, &SpeechEngine::speechStopped, this, [this] { backToMusicPending_ = false; });
    connect(&announcer_, &Announcer::newsAnswered, this, &Sequencer::onVoiceOrNews);
    connect(&songInfo_, &SongInfoLoader::loaded, this, &Sequencer::onSongInfo);
    // A song's end is handled when it happens, not only at the next tick.
    connect(&player_.events(), &PlayerEvents::songEnded, this, &Sequencer::CheckSongEnd);
    connect(&player_.events(), &PlayerEvents::songOpened, this, &Sequencer::onSongOpened);
    connect(&player_.events(), &PlayerEvents::songFailed, this, &Sequencer::onSongFailed);
    // What follows at the end may change with the settings or the list.
    connect(&settings_, &RadioSettings::changed, this, [this] {
        if (playing_ && !waiting_) {
            next_.loadAhead(currentFailed_, songsSinceTime_, songsSinceNews_, lastPick_);
        }
    });
    connect(&playlist_, &AcceptedPlaylist::changed, this, [this] { next_.forgetPick(); });
    // The tick starts with the first song: before that there is nothing to
    // follow, and an idle radio should not wake ten times a second.
}

bool Sequencer::holding() const
{
    return waiting_ && !settings_.Release;
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
    // Between songs, while the announcer talks, the radio is still on air.
    if (waiting_) {
        return PlaybackState::WaitingForVoice;
    }
    if (!playing_) {
        return PlaybackState::Stopped;
    }
    // The pause switch outlives a song change (Pause, then Forward plays the
    // next song with the switch still set); a paused song has the timer off.
    if (paused_ && !timer1_.isActive()) {
        return PlaybackState::Paused;
    }
    return PlaybackState::Playing;
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
    timer1_.start();
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
        playing_ = false;
        return;
    }
    playlist_.setSongIndex(static_cast<std::int32_t>(index));
    const std::optional<QString> path = playlist_.song(playlist_.SongIndex());
    if (!path) {
        playing_ = false;
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
        timer1_.stop();
    } else {
        player_.ResumeMPEG();
        paused_ = false;
        timer1_.start();
    }
    publishState();
}

void Sequencer::StopSong()
{
    // Headlines still on their way would be read after the radio stopped.
    announcer_.dropNews();
    backToMusicPending_ = false;
    supersedeWait();
    playing_ = false;
    player_.StopMPEG();
    timer1_.stop();
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
    currentFailed_ = !opened;
    if (!opened) {
        scheduleFailedEnd();
    }
    next_.loadAhead(currentFailed_, songsSinceTime_, songsSinceNews_, lastPick_);
    emit songStarted();
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
    currentFailed_ = playing_;
    next_.dropFollowOn();
    CheckSongEnd();
}

bool Sequencer::OpenSong(quintptr windowHandle, const QString& path)
{
    // Whatever is opened now, the title of the song before is no longer the
    // one that just played.
    songTitle_.clear();
    songInfo_.cancel();
    if (path.isEmpty() || path == QLatin1String("error")) {
        return false;
    }
    if (!player_.OpenMPEG(windowHandle, path, QStringLiteral("MPEGVideo")).isEmpty()) {
        return false;
    }
    ReadSongTitle(path);
    timer1_.start();
    return true;
}

void Sequencer::ReadSongTitle(const QString& path)
{
    songInfo_.load(path);
}

void Sequencer::onSongInfo(const QString& path, const SongInfo& info)
{
    songTitle_ = info.title;
    emit songInfoRead(path, info);
}

QString Sequencer::PlayRange(const QString& start, const QString& end)
{
    playing_ = true;
    const std::optional<std::int32_t> first = frameFromText(start);
    const std::optional<std::int32_t> last = frameFromText(end);
    startFrame_ = first.value_or(1);
    endFrame_ = last ? *last : player_.GetTotalframes();
    songFirstFrame_ = startFrame_;
    seeked_ = false;
    return player_.PlayMPEG(startFrame_, endFrame_);
}

bool Sequencer::canSeek() const
{
    const PlaybackState now = state();
    return (now == PlaybackState::Playing || now == PlaybackState::Paused) && !currentFailed_ &&
           endFrame_ > 0;
}

bool Sequencer::seekTo(std::int64_t ms)
{
    if (!canSeek()) {
        return false;
    }
    const bool pausedNow = state() == PlaybackState::Paused;
    // Frame n is the millisecond that starts at n - 1 ms; the last one is
    // kept, so the end still comes.
    startFrame_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(ms, 0, endFrame_ - 1) + 1);
    seeked_ = true;
    player_.PlayMPEG(startFrame_, endFrame_);
    if (pausedNow) {
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

void Sequencer::Timer1_Timer()
{
    CheckSongEnd();
    emit percentShown(shownPercent());
}

int Sequencer::shownPercent()
{
    if (!seeked_) {
        return std::clamp(player_.GetPercent(), 0, 100);
    }
    // The player counts from the range a seek started; the gauge keeps
    // counting over the song's first range.
    const std::int64_t origin = std::int64_t{songFirstFrame_} - 1;
    const std::int64_t span = std::int64_t{endFrame_} - origin;
    if (span <= 0) {
        return 100;
    }
    const std::int64_t done = std::int64_t{player_.GetPositionMs()} - origin;
    return static_cast<int>(std::clamp<std::int64_t>(done * 100 / span, 0, 100));
}

void Sequencer::CheckSongEnd()
{
    const bool atEnd = player_.AreMPEGAtEnd() == 1;
    if (waiting_) {
        return;  // the end in hand is still waiting for the voice
    }
    const bool failed = currentFailed_;
    if (!playing_ || !(atEnd || failed)) {
        clearDue();
        return;
    }
    random_.seedFromClock();
    playing_ = false;
    if (failed && giveUpAfterFailure()) {
        clearDue();
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
    next_.songEnded(!settings_.Slow && voiceBusy());
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
    const std::optional<std::int32_t> pick = next_.takePick(lastPick_);
    if (!pick) {
        return;
    }
    lastPick_ = *pick;
    playlist_.setSongIndex(*pick);
}

void Sequencer::countAndAnnounce()
{
    countSong(songsSinceTime_, settings_.ManyTime, timeDue_);
    countSong(songsSinceNews_, settings_.ManyNews, newsDue_);
    voice_.stop();
    if (settings_.NowTime && timeDue_) {
        announcer_.AnnounceTime(songTitle_);
        songTitle_.clear();
    }
    if (settings_.NowNews && newsDue_) {
        announcer_.AnnounceNews();
    }
    timer1_.stop();
}

void Sequencer::WaitForSpeech()
{
    if (settings_.Slow) {
        finishSongEnd();
        return;
    }
    timer1_.stop();
    if (!voiceBusy()) {
        endWait();
        return;
    }
    // The voice's speechFinished and the announcer's newsAnswered end it.
    waiting_ = true;
}

bool Sequencer::voiceBusy() const
{
    return voice_.speakingState() != 0 || announcer_.newsPending();
}

void Sequencer::onVoiceOrNews()
{
    if (backToMusicPending_ && !announcer_.newsPending()) {
        backToMusicPending_ = false;
        voice_.speak(kBackToTheMusic);
    }
    if (waiting_ && !voiceBusy()) {
        endWait();
    }
}

void Sequencer::endWait()
{
    waiting_ = false;
    voice_.stop();
    timer1_.start();
    finishSongEnd();
    runHeldCommands();
    publishState();
}

void Sequencer::finishSongEnd()
{
    timer1_.start();
    if ((timeDue_ || newsDue_) && (settings_.NowTime || settings_.NowNews)) {
        sayBackToMusic();
    }
    NextSong();
    clearDue();
}

void Sequencer::sayBackToMusic()
{
    // Without the wait (Slow) the headlines may still be on their way; the
    // way back to the music is said after them, as it always is.
    if (announcer_.newsPending()) {
        backToMusicPending_ = true;
        return;
    }
    voice_.speak(kBackToTheMusic);
}

void Sequencer::supersedeWait()
{
    if (!waiting_) {
        return;
    }
    // The song whose end was waiting is no longer the one that matters; what
    // the announcer is saying may still finish.
    waiting_ = false;
    clearDue();
    // Held transport commands go with it; the other held controls still
    // run, once the song that replaces the wait has started.
    held_.dropCommands();
    if (!held_.empty()) {
        QTimer::singleShot(0, this, &Sequencer::runHeldCommands);
    }
}

void Sequencer::runHeldCommands()
{
    while (!held_.empty() && !waiting_) {
        held_.runFirst([this](TransportCommand command) { run(command); });
    }
}

void Sequencer::halt()
{
    waiting_ = false;
    backToMusicPending_ = false;
    held_.clear();
    timer1_.stop();
    publishState();
}
