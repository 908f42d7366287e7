#pragma once

#include "core/TransportCommand.h"

#include <QObject>
#include <QSet>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <deque>

class Announcer;
class MpegPlayer;
class SpeechEngine;
class Tolvars;

// Plays the accepted playlist song after song. Timer1 polls the player every
// 100 ms; at a song end the next song is picked, the announcer speaks what is
// due, and once the voice has fallen silent (and a pending headline fetch has
// been read) the next song starts. The wait is a state, not a loop: nothing
// blocks the GUI thread while the announcer talks.
//
// While waiting, transport commands are held and run in order after the next
// song has started; with Release on they run at once, and one that starts or
// stops a song takes the place of the automatic advance.
//
// A song that cannot be opened counts as ended at once, without announcements;
// when every song of the list has failed in a row, playback stops.
//
// GUI thread only.
class Sequencer : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kTickInterval{100};
    static constexpr std::chrono::milliseconds kVoicePollInterval{20};

    Sequencer(Tolvars& state, MpegPlayer& player, SpeechEngine& voice, Announcer& announcer,
              QObject* parent = nullptr);

    // A transport button (held while waiting for the voice, unless Release).
    void command(TransportCommand command);

    void PlayIt();
    void NextSong();
    void PreviousSong();
    void TogglePause();
    void StopSong();

    // Opens a song and reads its title; true when the player took it.
    bool OpenSong(quintptr windowHandle, const QString& path);
    // Plays a frame range given as decimal texts, the empty text meaning "not
    // given"; returns the player's text.
    QString PlayRange(const QString& start, const QString& end);
    // The end-of-song handling, run on every tick.
    void CheckSongEnd();
    void Timer1_Timer();

    QTimer& timer1() { return timer1_; }
    bool paused() const { return paused_; }
    bool waitingForVoice() const { return waiting_; }
    std::size_t heldCommands() const { return held_.size(); }

    // The handle passed to the player with every song.
    void setWindowHandle(quintptr handle) { windowHandle_ = handle; }
    // Exit: drops the wait, the held commands and the timers.
    void halt();

signals:
    // Progress of the current song, 0 to 100, on every tick.
    void percentShown(int percent);
    // A song (state.SongFile) was just handed to the player, opened or not.
    void songStarted();

private:
    void run(TransportCommand command);
    void startSong();
    void advanceTo(std::int64_t index);
    void scheduleFailedEnd();
    bool giveUpAfterFailure();
    void shuffle();
    void countAndAnnounce();
    void WaitForSpeech();
    bool voiceBusy() const;
    void pollVoice();
    void endWait();
    void finishSongEnd();
    void sayBackToMusic();
    void pollBackToMusic();
    void supersedeWait();
    void runHeldCommands();
    void clearDue();

    Tolvars& state_;
    MpegPlayer& player_;
    SpeechEngine& voice_;
    Announcer& announcer_;
    quintptr windowHandle_ = 0;

    QTimer timer1_;
    QTimer voicePoll_;
    QTimer backToMusicPoll_;
    bool paused_ = false;
    bool waiting_ = false;
    std::deque<TransportCommand> held_;

    bool currentFailed_ = false;
    std::uint64_t songStarts_ = 0;
    QSet<std::int16_t> failedInRow_;
};
