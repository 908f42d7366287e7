// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/output/ClockAudioDevice.h"

#include "audio/AudioFormat.h"
#include "audio/mix/Mixer.h"

#include <algorithm>
#include <array>
#include <chrono>

namespace {
constexpr std::size_t kFrames = 1024;
}

ClockAudioDevice::ClockAudioDevice(Mixer& mixer, Pace pace) : mixer_(mixer), pace_(pace)
{
    thread_ = std::thread([this] { pace_ == Pace::RealTime ? runRealTime() : runUnpaced(); });
}

ClockAudioDevice::~ClockAudioDevice()
{
    {
        std::lock_guard lock(pauseMutex_);
        quit_.store(true, std::memory_order_release);
    }
    resumed_.notify_all();
    mixer_.notifyProduced();
    thread_.join();
}

void ClockAudioDevice::setPaused(bool paused)
{
    {
        std::lock_guard lock(pauseMutex_);
        paused_ = paused;
    }
    resumed_.notify_all();
}

bool ClockAudioDevice::waitWhilePaused()
{
    std::unique_lock lock(pauseMutex_);
    if (!paused_) {
        return false;
    }
    resumed_.wait(lock, [this] { return !paused_ || quit_.load(std::memory_order_acquire); });
    return true;
}

QString ClockAudioDevice::name() const
{
    return pace_ == Pace::RealTime ? QStringLiteral("silent clock") : QStringLiteral("null");
}

void ClockAudioDevice::runRealTime()
{
    using clock = std::chrono::steady_clock;
    // 441 frames are exactly 10 ms, so the clock never drifts.
    constexpr std::size_t kTick = audio_format::kRate / 100;
    std::array<std::int16_t, kTick * audio_format::kChannels> block{};
    auto next = clock::now();
    while (!quit_.load(std::memory_order_acquire)) {
        if (waitWhilePaused()) {
            next = clock::now();
            continue;
        }
        mixer_.render(block.data(), kTick);
        next += std::chrono::milliseconds(10);
        const auto now = clock::now();
        if (next < now - std::chrono::milliseconds(200)) {
            next = now;  // suspended or starved: do not race to catch up
        }
        std::this_thread::sleep_until(next);
    }
}

void ClockAudioDevice::runUnpaced()
{
    std::array<std::int16_t, kFrames * audio_format::kChannels> block{};
    while (!quit_.load(std::memory_order_acquire)) {
        const std::size_t pending = std::min(mixer_.pendingFrames(), kFrames);
        if (pending == 0) {
            mixer_.producedSignal().waitFor(std::chrono::milliseconds(5));
            continue;
        }
        mixer_.render(block.data(), pending);
    }
}
