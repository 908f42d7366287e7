// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/VoiceOutput.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A voice output that keeps what it is given. Instant: every sample counts as
// played the moment it arrives. RealTime: samples play out at their rate, as
// through a sound card, and pushVoice waits while a second or more is queued.
// Its idle listener is told on a thread of its own when the time of the last
// queued sample has come.
class RecordingVoiceOutput : public VoiceOutput {
public:
    enum class Pace { Instant, RealTime };

    explicit RecordingVoiceOutput(Pace pace = Pace::Instant,
                                  std::size_t keepFrames = 120u * 22050u);
    ~RecordingVoiceOutput() override;
    RecordingVoiceOutput(const RecordingVoiceOutput&) = delete;
    RecordingVoiceOutput& operator=(const RecordingVoiceOutput&) = delete;

    bool pushVoice(const std::int16_t* samples, std::size_t frames, int sampleRate,
                   int channels) override;
    void flushVoice() override;
    bool voiceIdle() const override;
    std::uint64_t voiceFramesPlayed() const override;
    void setVoiceIdleListener(std::function<void()> listener) override;

    // What was kept since the last clear(), flushed samples included.
    // Applies to samples pushed from now on.
    void setPace(Pace pace);

    std::vector<std::int16_t> samples() const;
    std::uint64_t framesPushed() const;
    int sampleRate() const;
    int channels() const;
    int flushCount() const;
    void clear();

private:
    using Clock = std::chrono::steady_clock;
    double queuedSeconds(Clock::time_point now) const;
    // Counts the real-time frames whose time has come as played.
    void settle(Clock::time_point now) const;
    void tellIdle();

    Pace pace_;
    const std::size_t keepFrames_;
    mutable std::mutex mutex_;
    std::condition_variable flushed_;
    std::vector<std::int16_t> samples_;
    std::uint64_t pushed_ = 0;
    mutable std::uint64_t played_ = 0;
    mutable std::uint64_t queued_ = 0;
    int rate_ = 0;
    int channels_ = 0;
    int flushes_ = 0;
    Clock::time_point queuedUntil_ = Clock::now();
    bool untold_ = false;  // pushed or flushed since the listener was last told
    bool quit_ = false;
    std::condition_variable changed_;

    std::mutex listenerMutex_;
    std::function<void()> listener_;  // guarded by listenerMutex_
    std::thread teller_;
};
