#pragma once

#include "playback/FailedRun.h"
#include "playback/NextSongPlanner.h"
#include "playback/PlaybackState.h"
#include "playback/TransportCommand.h"
#include "tags/SongInfoLoader.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

class AcceptedPlaylist;
class Announcer;
class MpegPlayer;
class RadioSettings;
struct OpenedSong;
class RandomSource;
class SpeechEngine;

// Plays the accepted playlist song after song. The player tells a song's end
// when it happens (and Timer1 polls it every 100 ms); at a song end the next
// song is picked, the announcer speaks what is due, and once the voice has
// fallen silent (and a pending headline fetch has been read) the next song
// starts. The song that comes next is handed to the player ahead (shuffled,
// its pick is drawn early), and when nothing is to be said between the two
// the player lets it follow without a gap. The wait is a state that ends on the
// voice's and the announcer's signals: nothing blocks the GUI thread while
// the announcer talks.
//
// While waiting, transport commands are held and run in order after the next
// song has started; with Release on they run at once, and one that starts or
// stops a song takes the place of the automatic advance.
//
// A song that cannot be opened counts as ended at once, without announcements
// (the player may tell that only after OpenMPEG has returned); when every song
// of the list has failed in a row, playback stops.
//
// GUI thread only.
class Sequencer : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kTickInterval{100};

    Sequencer(RadioSettings& settings, AcceptedPlaylist& playlist, RandomSource& random,
              MpegPlayer& player, SpeechEngine& voice, Announcer& announcer,
              QObject* parent = nullptr);

    // A transport button (held while waiting for the voice, unless Release).
    void command(TransportCommand command);
    // Starts the accepted playlist as a radio does: the intro, then the first
    // song while the intro is spoken.
    void startAcceptedList();

    void PlayIt();
    void NextSong();
    void PreviousSong();
    void TogglePause();
    void StopSong();

    // Opens a song; true when the player took it. The song's tags are read
    // off this thread: until they answer (songInfoRead) it has no title.
    bool OpenSong(quintptr windowHandle, const QString& path);
    // Plays a frame range given as decimal texts, the empty text meaning "not
    // given"; returns the player's text.
    QString PlayRange(const QString& start, const QString& end);
    // Moves within the song now playing or paused to `ms` from its start,
    // from there to the same end frame; a paused song stays paused. False
    // when no song can move: none was started, it failed to open, or its
    // end is waiting for the voice.
    bool seekTo(std::int64_t ms);
    bool canSeek() const;
    // The end-of-song handling, run on every tick.
    void CheckSongEnd();
    void Timer1_Timer();

    PlaybackState state() const;
    // A song was started and its end is still to be handled.
    bool Playing() const { return playing_; }
    bool paused() const { return paused_; }
    bool waitingForVoice() const { return waiting_; }
    std::size_t heldCommands() const { return held_.size(); }
    QTimer& timer1() { return timer1_; }

    // Title of the song now open, from its tags; empty when it has none or
    // they have not been read yet, so "That was ..." never names another.
    const QString& SongTitle() const { return songTitle_; }
    std::int32_t StartFrame() const { return startFrame_; }
    std::int32_t EndFrame() const { return endFrame_; }
    std::int16_t LastPick() const { return lastPick_; }
    std::int16_t SongsSinceTime() const { return songsSinceTime_; }
    std::int16_t SongsSinceNews() const { return songsSinceNews_; }
    bool TimeDue() const { return timeDue_; }
    bool NewsDue() const { return newsDue_; }

    // Replaces the tag reading of each opened song (tests).
    void setSongInfoReader(SongInfoLoader::Reader reader)
    {
        songInfo_.setReader(std::move(reader));
    }
    // The handle passed to the player with every song.
    void setWindowHandle(quintptr handle) { windowHandle_ = handle; }
    // Exit: drops the wait, the held commands and the timers.
    void halt();

signals:
    // Progress of the current song, 0 to 100, on every tick.
    void percentShown(int percent);
    // A song (the playlist's SongFile) was just handed to the player, opened
    // or not.
    void songStarted();
    // The tags of the song now open were read (after songStarted()).
    void songInfoRead(const QString& path, const SongInfo& info);
    // The player found the length of the song now open after songStarted():
    // EndFrame() gives it now.
    void songLengthKnown(std::int32_t totalFrames);
    void stateChanged(PlaybackState state);

private:
    void run(TransportCommand command);
    void startSong();
    void ReadSongTitle(const QString& path);
    void onSongInfo(const QString& path, const SongInfo& info);
    void onSongOpened(const OpenedSong& song);
    void onSongFailed();
    void advanceTo(std::int64_t index);
    void scheduleFailedEnd();
    bool giveUpAfterFailure();
    void shuffle();
    void countAndAnnounce();
    void WaitForSpeech();
    bool voiceBusy() const;
    void onVoiceOrNews();
    void endWait();
    void finishSongEnd();
    void sayBackToMusic();
    void supersedeWait();
    void runHeldCommands();
    void clearDue();
    void publishState();
    int shownPercent();

    RadioSettings& settings_;
    AcceptedPlaylist& playlist_;
    RandomSource& random_;
    MpegPlayer& player_;
    SpeechEngine& voice_;
    Announcer& announcer_;
    quintptr windowHandle_ = 0;
    SongInfoLoader songInfo_;
    NextSongPlanner next_;

    QTimer timer1_;
    bool playing_ = false;
    bool paused_ = false;
    bool waiting_ = false;
    // "And now, back to the music" waits for headlines still on their way.
    bool backToMusicPending_ = false;
    std::deque<TransportCommand> held_;
    PlaybackState published_ = PlaybackState::Stopped;

    QString songTitle_;
    std::int32_t startFrame_ = 0;
    std::int32_t endFrame_ = 0;
    // The song's first range began here; a seek starts a later range.
    std::int32_t songFirstFrame_ = 0;
    bool seeked_ = false;
    std::int16_t lastPick_ = 0;
    std::int16_t songsSinceTime_ = 0;
    std::int16_t songsSinceNews_ = 0;
    bool timeDue_ = false;
    bool newsDue_ = false;

    bool currentFailed_ = false;
    std::uint64_t songStarts_ = 0;
    FailedRun failedInRow_;
};
