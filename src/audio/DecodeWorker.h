// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/FollowOn.h"
#include "audio/LockedQueue.h"
#include "audio/PublishedRange.h"
#include "audio/SlotLoads.h"
#include "audio/SongId.h"
#include "audio/SongLoader.h"
#include "audio/SongSlot.h"
#include "audio/mix/Mixer.h"
#include "audio/mix/RingSwitch.h"

#include <QString>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class AudioDevice;
class VoiceInput;

// The decode thread: runs the transport commands, decodes the playing song
// into its music ring, keeps the next song decoded in the other ring and
// arms the gapless follow-on, looks after the voice converter, and pauses
// the output device while nothing is to be heard, and puts it to sleep when
// nothing has been heard for a while. Files are opened by the
// loader thread. What happens to a song is told in reports, and only there.
//
// The GUI thread talks to it through a short-locked command queue, reads
// the progress of a range from atomics and collects the reports
// (takeReports) when the notify function, called on the decode thread, says
// there are some.
class DecodeWorker {
public:
    using Progress = PublishedRange::Progress;
    struct Report {
        enum class Kind {
            Opened,   // the song is open; totalFrames is its length
            Failed,   // the song cannot be played; error says why
            Dropped,  // no room to load the song ahead
            Ended,    // the range of the play `id` has been heard to its end
            Closed,   // without auto-repeat, the ended song was closed
        };
        Kind kind = Kind::Ended;
        SongId id{};
        std::int32_t totalFrames = 0;
        QString error{};
    };
    struct Setup {
        std::array<DecoderFactory*, 2> factories{};
        QString cacheFolder;
        bool evenLoudness = true;
        std::function<void()> notify;
        // Paused this long, the output device is put to sleep.
        std::chrono::milliseconds sleepAfter{3000};
    };

    DecodeWorker(Mixer& mixer, VoiceInput& voice, AudioDevice& device, Setup setup);
    ~DecodeWorker();
    DecodeWorker(const DecodeWorker&) = delete;
    DecodeWorker& operator=(const DecodeWorker&) = delete;

    // GUI thread. Every command returns at once. Frame numbers are the
    // player library's (player_frame).
    //
    // Makes the song the program's open one: the song loaded ahead as `id`
    // is taken over as it is, any other is loaded from `path`.
    void open(SongId id, const QString& path) { post({Command::Kind::Open, id, path}); }
    // Loads a song ahead from `firstFrame`, to follow the playing one in the
    // given way.
    void preload(SongId id, const QString& path, FollowOn follow, std::int32_t firstFrame)
    {
        post({Command::Kind::Preload, id, path, follow, firstFrame});
    }
    void follow(SongId id, FollowOn follow, std::int32_t firstFrame)
    {
        post({Command::Kind::Follow, id, {}, follow, firstFrame});
    }
    // `play` names the song and this play of it.
    void play(SongId play, std::int32_t firstFrame, std::int32_t lastFrame)
    {
        post({Command::Kind::Play, play, {}, FollowOn::No, firstFrame, lastFrame});
    }
    void stop() { post({Command::Kind::Stop}); }
    void close(SongId id) { post({Command::Kind::Close, id}); }
    // Looks around now (music resumed, for one).
    void wake() { post({Command::Kind::Wake}); }
    void setAutoRepeat(bool on) { autoRepeat_.store(on, std::memory_order_release); }
    // Any thread: how long a song that follows on may start under the end
    // of the one before (0: right after it). Taken at the next arming.
    void setCrossfade(std::int32_t ms) { crossfadeMs_.store(ms, std::memory_order_release); }

    // Any thread: how far the range of `play` has been heard.
    Progress progress(SongId play) const { return range_.progress(play, mixer_); }
    // The output device is paused because nothing is to be heard.
    bool outputPaused() const { return outputPaused_.load(std::memory_order_acquire); }
    std::vector<Report> takeReports() { return reports_.takeAll(); }

private:
    struct Command {
        enum class Kind { Open, Preload, Follow, Play, Stop, Close, Wake };
        Kind kind = Kind::Wake;
        SongId id{};
        QString path{};
        FollowOn follow = FollowOn::No;
        std::int32_t first = 0;
        std::int32_t last = 0;
    };

    void post(Command command);
    void run();
    std::chrono::milliseconds cycle();
    void runCommands();
    void execute(const Command& command);
    void openSong(const Command& command);
    void preloadSong(const Command& command);
    void setFollowOn(const Command& command);
    void playSong(const Command& command);
    void startPlay(SongSlot& slot, const Command& command);
    void stopSong();
    void closeSong(SongId id);
    SongSlot& slotForOpen();
    void submitLoad(SongSlot& slot, SongId id, const QString& path, bool ahead);
    void takeLoaderResults();
    void installLoaded(LoadedSong song);
    std::int64_t aheadStart(const SongSlot& slot) const;
    SongSlot* find(SongId id);
    SongSlot& other(const SongSlot& slot)
    {
        return *slots_[static_cast<std::size_t>(slot.index() ^ 1)];
    }

    SongSlot& audible() { return *slots_[static_cast<std::size_t>(ringSwitch_.audible())]; }
    void noticeTakes();
    void makeAudible(SongSlot& slot);
    void armFollowOn();
    void joinAlbum(SongSlot& next);
    struct Overlap {
        std::uint16_t ms = 0;
        crossfade::Blend blend = crossfade::Blend::EqualPower;
    };
    Overlap overlapFor(const SongSlot& playing, const SongSlot& next) const;
    bool rangeRunning() const;
    void publish(SongId play, const SongSlot& slot, bool playing);
    void keepPublishedEnd();
    void tellEnd();
    void keepMeasurements();
    bool updateOutput();
    std::chrono::milliseconds idleWait() const;
    void report(Report report);

    Mixer& mixer_;
    VoiceInput& voice_;
    AudioDevice& device_;
    std::function<void()> notify_;

    LockedQueue<Command> commands_;
    LockedQueue<Report> reports_;
    std::atomic<bool> quit_{false};
    std::atomic<bool> autoRepeat_{false};
    std::atomic<std::int32_t> crossfadeMs_{0};

    // Decode thread only. The songs by the part they have now:
    std::array<std::unique_ptr<SongSlot>, 2> slots_;
    SongId open_;                     // the program's open song
    SongId ahead_;                    // the song loaded ahead of it
    FollowOn follow_ = FollowOn::No;  // how ahead_ follows the playing range
    std::int32_t aheadFirst_ = 1;     // the frame ahead_ starts from
    SongId followed_;   // ahead_ once the output took it on, until the program plays it
    SongId running_;    // the play whose range is still to end
    SongId albumNext_;  // ahead_, when it is the next track of the playing song's album
    std::optional<Command> pendingPlay_;  // waits for its song to open
    RingSwitch ringSwitch_;
    bool deviceRunning_ = true;
    bool deviceAsleep_ = false;
    std::chrono::steady_clock::time_point quietSince_{};
    std::chrono::milliseconds sleepAfter_;

    PublishedRange range_;
    std::atomic<bool> outputPaused_{false};

    std::unique_ptr<SongLoader> loader_;
    std::unique_ptr<SlotLoads> loads_;
    std::thread thread_;
};
