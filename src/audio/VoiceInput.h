// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/loudness/VoiceLeveller.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class Mixer;
class PcmConverter;

// The voice side of the mixer: converts pushed PCM of any rate and channel
// count to the output format, brings it to the music's loudness and queues
// it in the voice ring. The converter is guarded by a mutex that the output
// callback never touches.
class VoiceInput {
public:
    // `level` brings the voice to the music's loudness.
    VoiceInput(Mixer& mixer, bool level);
    ~VoiceInput();
    VoiceInput(const VoiceInput&) = delete;
    VoiceInput& operator=(const VoiceInput&) = delete;

    // One producer thread at a time. Blocks while a second or more is queued.
    bool push(const std::int16_t* samples, std::size_t frames, int rate, int channels);
    // Any thread.
    void flush();
    bool idle() const;
    // Any thread: the converter or the leveller holds frames that service() moves on.
    bool holdsBack() const { return converterHolds_.load(std::memory_order_acquire); }
    std::uint64_t framesPlayed() const;
    // The producer thread, between pushes: the listener's volume for the voice.
    void setVolume(int percent);
    // Any thread but the output's; see VoiceOutput::setVoiceIdleListener.
    void setIdleListener(std::function<void()> listener);
    // Decode thread, regularly and after every block the output took: drains
    // what the converter holds back once the producer has gone quiet, wakes a
    // blocked producer, and tells the idle listener when the voice has fallen
    // idle since it last did.
    void service();

private:
    using Clock = std::chrono::steady_clock;
    bool prepareConverter(std::unique_lock<std::mutex>& lock, int rate, int channels);
    void drainConverter(bool endOfInput);
    std::size_t queuedFrames() const;
    void tellIfIdle();

    // What has happened to the voice: any change may have left it idle.
    struct Activity {
        std::uint64_t accepted = 0;
        std::uint64_t played = 0;  // voice ring frames read
        std::uint64_t flushes = 0;
        bool operator==(const Activity&) const = default;
    };

    Mixer& mixer_;
    mutable std::mutex mutex_;
    std::condition_variable space_;
    std::unique_ptr<PcmConverter> converter_;  // guarded by mutex_
    VoiceLeveller leveller_;                   // guarded by mutex_
    Clock::time_point lastPut_{};              // guarded by mutex_
    std::uint64_t flushes_ = 0;                // guarded by mutex_
    std::atomic<int> pushing_{0};
    std::atomic<bool> converterHolds_{false};
    std::atomic<std::uint64_t> accepted_{0};
    std::atomic<std::uint64_t> flushCount_{0};

    std::mutex listenerMutex_;
    std::function<void()> idleListener_;  // guarded by listenerMutex_
    Activity told_;                       // decode thread only
};
