// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playback/AnnouncementSchedule.h"
#include "playback/FailedRun.h"
#include "playback/HeldControls.h"
#include "playback/NextSongPlanner.h"
#include "playback/PlaybackState.h"
#include "playback/TransportCommand.h"
#include "tags/SongInfoLoader.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <cstdint>
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
// when it happens; at a song end the next song is picked, the announcer says
// what is due, and once the voice has fallen silent (and a pending headline
// fetch has been read) the next song starts. The song that comes next is
// handed to the player ahead (shuffled, its pick is drawn early), and when
// nothing is to be said between the two the player lets it follow without a
// gap. The wait is a state that ends on the voice's and the announcer's
// signals: nothing blocks the GUI thread while the announcer talks. The
// sequencer is the one that commands the player; the planner of the next song
// and the announcement schedule only decide.
//
// While waiting, transport commands (and the other controls given to
// runOrHold) are held and run in order after the next
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
    // Any other control of the main window that the wait holds as it holds
    // the transport buttons (the playlist button, the announcer switches):
    // runs the action at once, or after the next song has started, in order
    // with held commands. An action whose context is gone by then is dropped.
    void runOrHold(QObject* context, std::function<void()> action);
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
    // The 100 ms tick: the gauge follows the song's progress.
    void showProgress();

    PlaybackState state() const;
    // A song was started and its end is still to be handled.
    bool Playing() const
    {
        return phase_ == Phase::Playing || phase_ == Phase::Paused || phase_ == Phase::Failing;
    }
    // The pause switch: set by Pause, cleared by the next Pause. It outlives
    // a song change (Pause, then Forward plays the next song with the switch
    // still set, so the next Pause resumes).
    bool paused() const { return paused_; }
    bool waitingForVoice() const { return phase_ == Phase::WaitingForVoice; }
    // True while controls given to command() and runOrHold() are held.
    bool holding() const;
    std::size_t heldCommands() const { return held_.size(); }
    // Runs while a song plays and is not paused, as the main window's Timer1
    // did; each tick shows the progress.
    QTimer& progressTimer() { return progressTimer_; }

    // Title of the song now open, from its tags; empty when it has none or
    // they have not been read yet, so "That was ..." never names another.
    const QString& SongTitle() const { return songTitle_; }
    std::int32_t StartFrame() const { return startFrame_; }
    std::int32_t EndFrame() const { return endFrame_; }
    std::int32_t LastPick() const { return next_.LastPick(); }
    // The counts and due announcements.
    const AnnouncementSchedule& schedule() const { return schedule_; }

    // Replaces the tag reading of each opened song (tests).
    void setSongInfoReader(SongInfoLoader::Reader reader)
    {
        songInfo_.setReader(reader);
        nextInfo_.setReader(std::move(reader));
    }
    // The handle passed to the player with every song.
    void setWindowHandle(quintptr handle) { windowHandle_ = handle; }
    // Exit: drops the wait, the held commands, headlines still on their way
    // and the timers.
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
    // Where the song in hand stands.
    enum class Phase {
        Stopped,          // none: not started yet, stopped, or a move failed
        Playing,          // started, its end still to come
        Paused,           // started and paused by the pause switch
        Failing,          // started but unplayable: it ends at once, unheard
        WaitingForVoice,  // ended; the next starts once the voice is silent
    };

    void run(TransportCommand command);
    void startSong();
    void loadAhead();
    void ReadSongTitle(const QString& path);
    void onSongInfo(const QString& path, const SongInfo& info);
    void onSongOpened(const OpenedSong& song);
    void onSongFailed();
    void advanceTo(std::int64_t index);
    void scheduleFailedEnd();
    bool giveUpAfterFailure();
    // The end of the song in hand, told by the player (or a failure).
    void CheckSongEnd();
    void shuffle();
    void countAndAnnounce();
    void WaitForSpeech();
    bool voiceBusy() const;
    void onVoiceOrNews();
    void endWait();
    void finishSongEnd();
    void supersedeWait();
    void runHeldCommands();
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
    // The tags of the song loaded ahead, for the host who names what comes next.
    SongInfoLoader nextInfo_;
    QString aheadPath_;
    SongInfo ahead_;
    AnnouncementSchedule schedule_;
    NextSongPlanner next_;

    QTimer progressTimer_;
    Phase phase_ = Phase::Stopped;
    bool paused_ = false;
    HeldControls held_;
    PlaybackState published_ = PlaybackState::Stopped;

    QString songTitle_;
    QString songArtist_;
    std::int32_t startFrame_ = 0;
    std::int32_t endFrame_ = 0;
    // Set by a seek: where the song's first range began, which the gauge
    // keeps counting over.
    std::optional<std::int32_t> firstRangeStart_;

    std::uint64_t songStarts_ = 0;
    FailedRun failedInRow_;
};
