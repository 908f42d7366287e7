#include "core/Sequencer.h"

#include "audio/MpegPlayer.h"
#include "core/Announcer.h"
#include "core/Tolvars.h"
#include "speech/SpeechEngine.h"
#include "tags/ReadSongTitle.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {
const QString kBackToTheMusic = QStringLiteral("And now,  back to the music.");
constexpr std::int16_t kMaxIndex = std::numeric_limits<std::int16_t>::max();

std::optional<std::int32_t> frameFromText(const QString& text)
{
    bool ok = false;
    const std::int32_t frame = text.trimmed().toInt(&ok);
    return ok ? std::optional<std::int32_t>(frame) : std::nullopt;
}

// Counts one song toward an announcement. A count that reaches or has passed
// its threshold (which may have been lowered meanwhile) makes it due; 0 means
// never.
void countSong(std::int16_t& since, std::int16_t threshold, bool& due)
{
    if (since < kMaxIndex) {
        ++since;
    }
    if (threshold > 0 && since >= threshold) {
        due = true;
        since = 0;
    }
}
}  // namespace

Sequencer::Sequencer(Tolvars& state, MpegPlayer& player, SpeechEngine& voice, Announcer& announcer,
                     QObject* parent)
    : QObject(parent),
      state_(state),
      player_(player),
      voice_(voice),
      announcer_(announcer),
      timer1_(this),
      voicePoll_(this),
      backToMusicPoll_(this)
{
    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(kTickInterval);
    connect(&timer1_, &QTimer::timeout, this, &Sequencer::Timer1_Timer);
    voicePoll_.setInterval(kVoicePollInterval);
    connect(&voicePoll_, &QTimer::timeout, this, &Sequencer::pollVoice);
    backToMusicPoll_.setInterval(kVoicePollInterval);
    connect(&backToMusicPoll_, &QTimer::timeout, this, &Sequencer::pollBackToMusic);
    timer1_.start();
}

void Sequencer::command(TransportCommand command)
{
    if (waiting_ && !state_.Release) {
        held_.push_back(command);
        return;
    }
    run(command);
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
}

void Sequencer::NextSong()
{
    supersedeWait();
    const std::int64_t next = std::int64_t{state_.SongIndex} + 1;
    advanceTo(next > state_.SongCount ? 1 : next);
}

void Sequencer::PreviousSong()
{
    supersedeWait();
    const std::int64_t previous = std::int64_t{state_.SongIndex} - 1;
    advanceTo(previous <= 0 ? state_.SongCount : previous);
}

void Sequencer::advanceTo(std::int64_t index)
{
    if (index < std::numeric_limits<std::int16_t>::min() || index > kMaxIndex) {
        state_.Playing = false;
        return;
    }
    state_.SongIndex = static_cast<std::int16_t>(index);
    const std::optional<QString> path = state_.song(state_.SongIndex);
    if (!path) {
        state_.Playing = false;
        return;
    }
    state_.SongFile = *path;
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
}

void Sequencer::StopSong()
{
    supersedeWait();
    state_.Playing = false;
    player_.StopMPEG();
    timer1_.stop();
}

void Sequencer::startSong()
{
    const bool opened = OpenSong(windowHandle_, state_.SongFile);
    state_.FlushFrom = QString::number(state_.FlushCount);
    if (state_.FlushBack) {
        PlayRange(QStringLiteral("10"), QString());
        player_.StopMPEG();
        PlayRange(state_.FlushFrom, QString());
    } else {
        PlayRange(QString(), QString());
    }
    ++songStarts_;
    currentFailed_ = !opened;
    if (opened) {
        failedInRow_.clear();
    } else {
        scheduleFailedEnd();
    }
    emit songStarted();
}

bool Sequencer::OpenSong(quintptr windowHandle, const QString& path)
{
    if (path == QLatin1String("error")) {
        return false;
    }
    if (!player_.OpenMPEG(windowHandle, path, QStringLiteral("MPEGVideo")).isEmpty()) {
        return false;
    }
    ReadSongTitle(state_);
    timer1_.start();
    return true;
}

QString Sequencer::PlayRange(const QString& start, const QString& end)
{
    state_.Playing = true;
    const std::optional<std::int32_t> first = frameFromText(start);
    const std::optional<std::int32_t> last = frameFromText(end);
    state_.StartFrame = first.value_or(1);
    state_.EndFrame = last ? *last : player_.GetTotalframes();
    return player_.PlayMPEG(state_.StartFrame, state_.EndFrame);
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
    emit percentShown(std::clamp(player_.GetPercent(), 0, 100));
}

void Sequencer::CheckSongEnd()
{
    const bool atEnd = player_.AreMPEGAtEnd() == 1;
    if (waiting_) {
        return;  // the end in hand is still waiting for the voice
    }
    const bool failed = currentFailed_;
    if (!state_.Playing || !(atEnd || failed)) {
        clearDue();
        return;
    }
    state_.Random.seedFromClock();
    state_.Playing = false;
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
    if (state_.Loops) {
        countAndAnnounce();
    }
    WaitForSpeech();
}

bool Sequencer::giveUpAfterFailure()
{
    failedInRow_.insert(state_.SongIndex);
    const std::int32_t songs = std::clamp<std::int32_t>(state_.SongCount, 1, kMaxIndex);
    if (failedInRow_.size() < songs) {
        return false;
    }
    failedInRow_.clear();
    StopSong();
    return true;
}

void Sequencer::shuffle()
{
    if (!state_.Rands || state_.SongCount <= 1) {
        return;
    }
    const std::int32_t songs = std::min<std::int32_t>(state_.SongCount, kMaxIndex);
    std::int16_t pick = 0;
    do {
        pick = static_cast<std::int16_t>(std::floor(state_.Random.next() * songs + 1));
    } while (pick == state_.LastPick);
    state_.LastPick = pick;
    state_.SongIndex = pick;
}

void Sequencer::countAndAnnounce()
{
    countSong(state_.SongsSinceTime, state_.ManyTime, state_.TimeDue);
    countSong(state_.SongsSinceNews, state_.ManyNews, state_.NewsDue);
    voice_.stop();
    if (state_.NowTime && state_.TimeDue) {
        announcer_.AnnounceTime();
    }
    if (state_.NowNews && state_.NewsDue) {
        announcer_.AnnounceNews();
    }
    timer1_.stop();
}

void Sequencer::WaitForSpeech()
{
    if (state_.Slow) {
        finishSongEnd();
        return;
    }
    timer1_.stop();
    if (!voiceBusy()) {
        endWait();
        return;
    }
    waiting_ = true;
    voicePoll_.start();
}

bool Sequencer::voiceBusy() const
{
    return voice_.speakingState() != 0 || announcer_.newsPending();
}

void Sequencer::pollVoice()
{
    if (waiting_ && !voiceBusy()) {
        endWait();
    }
}

void Sequencer::endWait()
{
    waiting_ = false;
    voicePoll_.stop();
    voice_.stop();
    timer1_.start();
    finishSongEnd();
    runHeldCommands();
}

void Sequencer::finishSongEnd()
{
    timer1_.start();
    if ((state_.TimeDue || state_.NewsDue) && (state_.NowTime || state_.NowNews)) {
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
        backToMusicPoll_.start();
        return;
    }
    voice_.speak(kBackToTheMusic);
}

void Sequencer::pollBackToMusic()
{
    if (!announcer_.newsPending()) {
        backToMusicPoll_.stop();
        voice_.speak(kBackToTheMusic);
    }
}

void Sequencer::supersedeWait()
{
    if (!waiting_) {
        return;
    }
    // The song whose end was waiting is no longer the one that matters; what
    // the announcer is saying may still finish.
    waiting_ = false;
    voicePoll_.stop();
    held_.clear();
    clearDue();
}

void Sequencer::runHeldCommands()
{
    while (!held_.empty() && !waiting_) {
        const TransportCommand next = held_.front();
        held_.pop_front();
        run(next);
    }
}

void Sequencer::halt()
{
    waiting_ = false;
    voicePoll_.stop();
    backToMusicPoll_.stop();
    held_.clear();
    timer1_.stop();
}

void Sequencer::clearDue()
{
    state_.TimeDue = false;
    state_.NewsDue = false;
}
