#pragma once

#include "audio/LockedQueue.h"
#include "audio/PublishedRange.h"
#include "audio/SlotLoads.h"
#include "audio/SongLoader.h"
#include "audio/SongSlot.h"
#include "audio/mix/Mixer.h"
#include "audio/mix/RingSwitch.h"

#include <QString>
#include <array>
#include <atomic>
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
// the output device while nothing is to be heard. Files are opened by the
// loader thread; the answers come back as reports.
//
// The GUI thread talks to it through a short-locked command queue, reads
// progress from atomics and collects reports (takeReports) when the notify
// function, called on the decode thread, says there are some.
class DecodeWorker {
public:
    using Progress = PublishedRange::Progress;
    struct Report {
        enum class Kind { Opened, Failed, Dropped, Ended };
        Kind kind = Kind::Ended;
        std::uint32_t number = 0;  // the serial; the generation for Ended
        std::int32_t totalFrames = 0;
        QString error;
    };
    struct Setup {
        std::array<DecoderFactory*, 2> factories{};
        QString cacheFolder;
        bool evenLoudness = true;
        std::function<void()> notify;
    };

    DecodeWorker(Mixer& mixer, VoiceInput& voice, AudioDevice& device, Setup setup);
    ~DecodeWorker();
    DecodeWorker(const DecodeWorker&) = delete;
    DecodeWorker& operator=(const DecodeWorker&) = delete;

    // GUI thread. Every command returns at once. Times are milliseconds,
    // frame numbers as the player library counts them.
    void open(std::uint32_t serial, const QString& path)
    {
        post({Command::Kind::Open, serial, 0, path, std::nullopt, 0, 0});
    }
    // Loads a song ahead, to follow the playing one in the given way.
    void preload(std::uint32_t serial, const QString& path, std::optional<FollowOn> follow)
    {
        post({Command::Kind::Preload, serial, 0, path, follow, 0, 0});
    }
    void follow(std::uint32_t serial, std::optional<FollowOn> follow)
    {
        post({Command::Kind::Follow, serial, 0, {}, follow, 0, 0});
    }
    // The song loaded ahead is the program's open song now.
    void promote(std::uint32_t serial)
    {
        post({Command::Kind::Promote, serial, 0, {}, std::nullopt, 0, 0});
    }
    void play(std::uint32_t serial, std::uint32_t generation, std::int32_t firstFrame,
              std::int32_t lastFrame)
    {
        post({Command::Kind::Play, serial, generation, {}, std::nullopt, firstFrame, lastFrame});
    }
    void stop() { post({Command::Kind::Stop, 0, 0, {}, std::nullopt, 0, 0}); }
    void close(std::uint32_t serial)
    {
        post({Command::Kind::Close, serial, 0, {}, std::nullopt, 0, 0});
    }
    // Looks around now (music resumed, for one).
    void wake() { post({Command::Kind::Wake, 0, 0, {}, std::nullopt, 0, 0}); }
    void setAutoRepeat(bool on) { autoRepeat_.store(on, std::memory_order_release); }

    // Any thread.
    Progress progress(std::uint32_t generation) const
    {
        return range_.progress(generation, mixer_);
    }
    // The song opened with `serial` has been closed by the worker itself
    // (its end was reached with auto-repeat off).
    bool closedByItself(std::uint32_t serial) const
    {
        return closedSerial_.load(std::memory_order_acquire) == serial;
    }
    // The output device is paused because nothing is to be heard.
    bool outputPaused() const { return outputPaused_.load(std::memory_order_acquire); }
    std::vector<Report> takeReports() { return reports_.takeAll(); }

    // Milliseconds of a song of `length` frames at `rate`, as frames count them.
    static std::int32_t framesOf(std::int64_t length, int rate);

private:
    struct Command {
        enum class Kind { Open, Preload, Follow, Promote, Play, Stop, Close, Wake };
        Kind kind = Kind::Wake;
        std::uint32_t serial = 0;
        std::uint32_t generation = 0;
        QString path;
        std::optional<FollowOn> follow;
        std::int32_t first = 0;
        std::int32_t last = 0;
    };

    void post(Command command);
    void run();
    bool cycle();
    void runCommands();
    void execute(const Command& command);
    void openSong(const Command& command);
    void preloadSong(const Command& command);
    void playSong(const Command& command);
    void startPlay(SongSlot& slot, const Command& command);
    void stopSong();
    void closeSong(std::uint32_t serial);
    void submitLoad(SongSlot& slot, std::uint32_t serial, const QString& path, bool ahead);
    void takeLoaderResults();
    void installLoaded(LoadedSong song);
    SongSlot* find(std::uint32_t serial);
    SongSlot& other(const SongSlot& slot)
    {
        return *slots_[static_cast<std::size_t>(slot.index() ^ 1)];
    }

    SongSlot& audible() { return *slots_[static_cast<std::size_t>(ringSwitch_.audible())]; }
    void noticeTakes();
    void makeAudible(SongSlot& slot);
    void armFollowOn();
    bool publishedRangeRunning();
    void publish(std::uint32_t generation, const SongSlot& slot, bool playing);
    void keepPublishedEnd();
    void reportEnd();
    void closeAtEndWithoutRepeat();
    void keepMeasurements();
    bool updateOutput();
    void report(Report report);

    Mixer& mixer_;
    VoiceInput& voice_;
    AudioDevice& device_;
    std::function<void()> notify_;

    LockedQueue<Command> commands_;
    LockedQueue<Report> reports_;
    std::atomic<bool> quit_{false};
    std::atomic<bool> autoRepeat_{false};

    // Decode thread only.
    std::array<std::unique_ptr<SongSlot>, 2> slots_;
    std::optional<Command> pendingPlay_;
    std::uint32_t guiSerial_ = 0;      // the song the GUI has open
    std::uint32_t preloadSerial_ = 0;  // the song loaded ahead
    std::optional<FollowOn> followOn_;
    std::uint32_t followedOn_ = 0;  // taken by the output, not yet by the program
    RingSwitch ringSwitch_;
    int publishedSlot_ = -1;
    std::uint32_t endReported_ = 0;
    bool awaitingEnd_ = false;
    bool deviceRunning_ = true;

    PublishedRange range_;
    std::atomic<std::uint32_t> closedSerial_{0};
    std::atomic<bool> outputPaused_{false};

    std::unique_ptr<SongLoader> loader_;
    std::unique_ptr<SlotLoads> loads_;
    std::thread thread_;
};
