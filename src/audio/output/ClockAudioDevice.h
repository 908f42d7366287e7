// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/output/AudioDevice.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class Mixer;

// An output without sound card. Paced, it pulls the mixer at real-time speed
// into silence, so playback, song ends and progress behave as with a device.
// Unpaced, it pulls whatever is queued as fast as it comes (benchmarks).
class ClockAudioDevice : public AudioDevice {
public:
    enum class Pace { RealTime, AsFastAsPossible };

    ClockAudioDevice(Mixer& mixer, Pace pace);
    ~ClockAudioDevice() override;
    ClockAudioDevice(const ClockAudioDevice&) = delete;
    ClockAudioDevice& operator=(const ClockAudioDevice&) = delete;

    QString name() const override;
    void setPaused(bool paused) override;

private:
    // Real-time pace: blocks while paused; true when it waited.
    bool waitWhilePaused();

    void runRealTime();
    void runUnpaced();

    Mixer& mixer_;
    Pace pace_;
    std::atomic<bool> quit_{false};
    std::mutex pauseMutex_;
    std::condition_variable resumed_;
    bool paused_ = false;  // guarded by pauseMutex_
    std::thread thread_;
};
