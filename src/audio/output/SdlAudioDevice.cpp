// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/output/SdlAudioDevice.h"

#include "audio/AudioFormat.h"
#include "audio/mix/Mixer.h"
#include "audio/output/ClockAudioDevice.h"

#include <SDL.h>
#include <cstring>

namespace {
// 1024 frames (23 ms) per callback: low latency, few wake-ups.
constexpr Uint16 kCallbackFrames = 1024;
constexpr auto kCheckEvery = std::chrono::milliseconds(20);
constexpr auto kRetryEvery = std::chrono::seconds(2);
}  // namespace

SdlAudioDevice::SdlAudioDevice(Mixer& mixer) : mixer_(mixer)
{
    // SDL would otherwise take SIGINT and SIGTERM for its own event queue,
    // which nobody reads here, and the program could not be ended by them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    subsystemUp_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    open();
}

SdlAudioDevice::~SdlAudioDevice()
{
    // A device held asleep was let go by the decode thread, which held it:
    // closing waits for SDL's thread.
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
    }
    clock_.reset();
    if (subsystemUp_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    } else if (driverForced_) {
        SDL_AudioQuit();
    }
}

void SdlAudioDevice::callback(void* self, Uint8* stream, int len)
{
    auto* device = static_cast<SdlAudioDevice*>(self);
    // SDL keeps calling a lost device's callback; what it renders goes
    // nowhere, so the mixer is left alone until the device is reopened.
    if (SDL_GetAudioDeviceStatus(device->device_.load(std::memory_order_acquire)) ==
        SDL_AUDIO_STOPPED) {
        std::memset(stream, 0, static_cast<std::size_t>(len));
        return;
    }
    device->mixer_.render(reinterpret_cast<std::int16_t*>(stream),
                          static_cast<std::size_t>(len) / audio_format::kFrameBytes);
}

void SdlAudioDevice::open()
{
    if ((subsystemUp_ || driverForced_) && openDevice()) {
        return;
    }
    if (switchToDummyDriver() && openDevice()) {
        return;
    }
    clock_ = std::make_unique<ClockAudioDevice>(mixer_, ClockAudioDevice::Pace::RealTime);
    clock_->setPaused(paused_);
    setName(clock_->name());
}

void SdlAudioDevice::setPaused(bool paused)
{
    paused_ = paused;
    if (!paused) {
        wake();
    }
    if (clock_) {
        clock_->setPaused(paused);
    }
    const SDL_AudioDeviceID device = device_.load(std::memory_order_acquire);
    if (device != 0) {
        SDL_PauseAudioDevice(device, paused ? 1 : 0);
    }
}

void SdlAudioDevice::sleep()
{
    const SDL_AudioDeviceID device = device_.load(std::memory_order_acquire);
    if (sleep_ != Sleep::Awake || device == 0) {
        return;  // the silent clock sleeps by itself while paused
    }
    const char* driver = SDL_GetCurrentAudioDriver();
    if (driver != nullptr && std::strcmp(driver, "disk") == 0) {
        // SDL's thread takes this lock around every callback: it waits there
        // without a turn until woken, and the file goes on where it was.
        SDL_LockAudioDevice(device);
        sleep_ = Sleep::Held;
        return;
    }
    // Its thread no longer calls us once closed.
    SDL_CloseAudioDevice(device);
    device_.store(0, std::memory_order_release);
    sleep_ = Sleep::Closed;
}

void SdlAudioDevice::leaveDecodeThread()
{
    if (sleep_ == Sleep::Held) {
        // Only the thread that took SDL's lock may give it back. Paused, SDL's
        // thread then feeds silence until the device is closed.
        SDL_UnlockAudioDevice(device_);
        sleep_ = Sleep::Awake;
    }
}

void SdlAudioDevice::wake()
{
    const Sleep was = sleep_;
    sleep_ = Sleep::Awake;
    if (was == Sleep::Held) {
        SDL_UnlockAudioDevice(device_);
    } else if (was == Sleep::Closed) {
        open();
    }
}

bool SdlAudioDevice::openDevice()
{
    SDL_AudioSpec want{};
    want.freq = audio_format::kRate;
    want.format = AUDIO_S16SYS;
    want.channels = audio_format::kChannels;
    want.samples = kCallbackFrames;
    want.callback = &SdlAudioDevice::callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No format changes allowed: SDL converts to the hardware itself, so the
    // mixer always renders one format.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        return false;
    }
    device_.store(device, std::memory_order_release);
    const char* driver = SDL_GetCurrentAudioDriver();
    setName(QString::fromUtf8(driver != nullptr ? driver : "unknown"));
    SDL_PauseAudioDevice(device, paused_ ? 1 : 0);
    return true;
}

bool SdlAudioDevice::switchToDummyDriver()
{
    const char* current = SDL_GetCurrentAudioDriver();
    if (current != nullptr && std::strcmp(current, "dummy") == 0) {
        return false;
    }
    if (SDL_AudioInit("dummy") != 0) {
        return false;
    }
    driverForced_ = true;
    return true;
}

void SdlAudioDevice::maintain()
{
    const auto now = std::chrono::steady_clock::now();
    if (sleep_ != Sleep::Awake || now < nextCheck_) {
        return;
    }
    nextCheck_ = now + kCheckEvery;
    const SDL_AudioDeviceID device = device_.load(std::memory_order_acquire);
    if (device != 0 && SDL_GetAudioDeviceStatus(device) != SDL_AUDIO_STOPPED) {
        return;
    }
    if (device != 0) {
        // Lost (unplugged, server gone): its thread no longer calls us once
        // closed, so the mixer is never rendered by two threads at a time.
        SDL_CloseAudioDevice(device);
        device_.store(0, std::memory_order_release);
        open();
        return;
    }
    // Running on the silent clock: try the driver again now and then.
    if (clock_ && (subsystemUp_ || driverForced_) && now >= nextRetry_) {
        nextRetry_ = now + kRetryEvery;
        clock_.reset();
        if (!openDevice()) {
            clock_ = std::make_unique<ClockAudioDevice>(mixer_, ClockAudioDevice::Pace::RealTime);
            clock_->setPaused(paused_);
            setName(clock_->name());
        }
    }
}

QString SdlAudioDevice::name() const
{
    std::lock_guard lock(nameMutex_);
    return name_;
}

void SdlAudioDevice::setName(const QString& name)
{
    std::lock_guard lock(nameMutex_);
    name_ = name;
}
