// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/output/AudioDevice.h"
#include "audio/output/ClockAudioDevice.h"

#include <QString>
#include <atomic>
#include <memory>
#include <thread>

class Mixer;

// An output that plays at real-time pace into silence and counts how often
// it was put to sleep and woken. Asleep it has no thread at all, as a closed
// sound card has none, so nothing is heard until it is woken.
class CountingAudioDevice : public AudioDevice {
public:
    explicit CountingAudioDevice(Mixer& mixer) : mixer_(mixer) { wakeUp(); }

    void setPaused(bool paused) override
    {
        noteCaller();
        paused_ = paused;
        if (!paused && !clock_) {
            wakeUp();
            wakes_.fetch_add(1);
        }
        clock_->setPaused(paused);
    }
    void sleep() override
    {
        noteCaller();
        if (!paused_) {
            sleptWhilePlaying_ = true;
        }
        clock_.reset();
        sleeps_.fetch_add(1);
    }
    QString name() const override { return QStringLiteral("counting clock"); }

    int sleeps() const { return sleeps_.load(); }
    int wakes() const { return wakes_.load(); }
    bool sleptWhilePlaying() const { return sleptWhilePlaying_.load(); }
    // A thread other than the decode thread told it to pause, sleep or wake.
    bool calledFromTwoThreads() const { return twoThreads_.load(); }

private:
    void wakeUp()
    {
        clock_ = std::make_unique<ClockAudioDevice>(mixer_, ClockAudioDevice::Pace::RealTime);
    }
    void noteCaller()
    {
        const std::thread::id me = std::this_thread::get_id();
        if (caller_ == std::thread::id{}) {
            caller_ = me;
        } else if (caller_ != me) {
            twoThreads_ = true;
        }
    }

    Mixer& mixer_;
    std::unique_ptr<ClockAudioDevice> clock_;
    bool paused_ = false;
    std::thread::id caller_{};
    std::atomic<int> sleeps_{0};
    std::atomic<int> wakes_{0};
    std::atomic<bool> sleptWhilePlaying_{false};
    std::atomic<bool> twoThreads_{false};
};
