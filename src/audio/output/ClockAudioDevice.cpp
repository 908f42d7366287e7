// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/output/ClockAudioDevice.h"

#include "audio/AudioFormat.h"
#include "audio/ThreadName.h"
#include "audio/mix/Mixer.h"

#include <algorithm>
#include <array>
#include <chrono>

namespace {
// Unpaced, blocks go out as soon as they are queued.
constexpr std::size_t kFrames = 1024;
// Paced, no one listens for a quick answer: a block of 372 ms wakes the
// thread under three times a second, where a sound card's 23 ms period
// would wake it 43 times, and every wake-up costs more than the mixing it
// does. The music rings hold far more than a block, and the voice ring a
// second.
constexpr std::size_t kTick = 16384;
}  // namespace

ClockAudioDevice::ClockAudioDevice(Mixer& mixer, Pace pace) : mixer_(mixer), pace_(pace)
{
    thread_ = std::thread([this] {
        nameThisThread("tolvar clock");
        pace_ == Pace::RealTime ? runRealTime() : runUnpaced();
    });
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
    // The time is counted from the frames rendered, so the clock never drifts.
    std::array<std::int16_t, kTick * audio_format::kChannels> block{};
    auto since = clock::now();
    std::uint64_t rendered = 0;
    while (!quit_.load(std::memory_order_acquire)) {
        if (waitWhilePaused()) {
            since = clock::now();
            rendered = 0;
            continue;
        }
        mixer_.render(block.data(), kTick);
        rendered += kTick;
        const auto next =
            since + std::chrono::nanoseconds(rendered * 1000000000ULL / audio_format::kRate);
        const auto now = clock::now();
        if (next < now - std::chrono::milliseconds(200)) {
            since = now;  // suspended or starved: do not race to catch up
            rendered = 0;
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
