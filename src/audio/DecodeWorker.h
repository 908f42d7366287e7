#pragma once

#include "audio/Decoder.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class AudioDevice;
class Mixer;
class VoiceInput;
class PcmConverter;

// The decode thread: runs the transport commands, decodes the open song into
// the music ring through an SDL_AudioStream, and looks after the voice
// converter and the output device. The GUI thread talks to it through a
// short-locked command queue and reads its progress from atomics.
class DecodeWorker {
public:
    struct Progress {
        bool started = false;  // the worker has begun the range
        bool ended = false;    // its last frame has left the output
        int percent = 0;
        // Output frames of the range that have left for the device.
        std::uint64_t playedFrames = 0;
    };

    DecodeWorker(Mixer& mixer, VoiceInput& voice, AudioDevice& device);
    ~DecodeWorker();
    DecodeWorker(const DecodeWorker&) = delete;
    DecodeWorker& operator=(const DecodeWorker&) = delete;

    // GUI thread. Every command returns at once.
    void open(std::unique_ptr<Decoder> decoder, std::uint32_t serial);
    void play(std::int64_t firstFrame, std::int64_t endFrame, std::uint32_t generation);
    void stop();
    void close();
    void setAutoRepeat(bool on) { autoRepeat_.store(on, std::memory_order_release); }

    // Any thread.
    Progress progress(std::uint32_t generation) const;
    // The song opened with `serial` has been closed by the worker itself
    // (its end was reached with auto-repeat off).
    bool closedByItself(std::uint32_t serial) const
    {
        return closedSerial_.load(std::memory_order_acquire) == serial;
    }

private:
    struct Command {
        enum class Kind { Open, Play, Stop, Close };
        Kind kind = Kind::Stop;
        std::unique_ptr<Decoder> decoder;
        std::int64_t first = 0;
        std::int64_t end = 0;
        std::uint32_t number = 0;  // serial for Open, generation for Play
    };

    void post(Command command);
    void run();
    void runCommands();
    void execute(Command& command);
    void startRange(const Command& command);
    void finishRange();
    void fill();
    bool fillStep();
    void closeSong();
    void closeAtEndWithoutRepeat();

    Mixer& mixer_;
    VoiceInput& voice_;
    AudioDevice& device_;

    std::mutex commandsMutex_;
    std::deque<Command> commands_;  // guarded by commandsMutex_
    std::atomic<bool> quit_{false};
    std::atomic<bool> autoRepeat_{false};

    // Worker thread only.
    std::unique_ptr<Decoder> decoder_;
    std::uint32_t serial_ = 0;
    std::unique_ptr<PcmConverter> converter_;
    std::vector<std::int16_t> buffer_;
    std::int64_t remaining_ = 0;
    bool producing_ = false;
    bool inputDone_ = false;
    bool awaitingEnd_ = false;

    // Published for the GUI thread; generation_ is stored last.
    std::atomic<std::uint64_t> rangeStart_{0};
    std::atomic<std::uint64_t> rangeExpected_{0};
    std::atomic<std::uint64_t> rangeEnd_{0};
    std::atomic<std::uint32_t> generation_{0};
    std::atomic<std::uint32_t> closedSerial_{0};

    std::thread thread_;
};
