// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/output/AudioDevice.h"

#include <SDL_audio.h>
#include <QString>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

class ClockAudioDevice;
class Mixer;

// The sound card through SDL. Opens the default device of the configured
// driver; when that fails (a headless machine: ALSA without a device) it
// switches SDL to its "dummy" driver, and when even that fails it keeps time
// with a silent clock. A device that goes away while playing is reopened,
// and nothing is taken from the mixer while it is gone, so the song goes on
// where it was. Asleep, the device is closed and SDL's thread ends; SDL's
// disk driver, whose reopening would empty the file it writes, is held still
// instead.
class SdlAudioDevice : public AudioDevice {
public:
    explicit SdlAudioDevice(Mixer& mixer);
    ~SdlAudioDevice() override;
    SdlAudioDevice(const SdlAudioDevice&) = delete;
    SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;

    void maintain() override;
    void setPaused(bool paused) override;
    void sleep() override;
    void leaveDecodeThread() override;
    QString name() const override;

private:
    static void callback(void* self, Uint8* stream, int len);
    void open();
    bool openDevice();
    bool switchToDummyDriver();
    void setName(const QString& name);
    void wake();

    Mixer& mixer_;
    std::atomic<SDL_AudioDeviceID> device_{0};
    bool subsystemUp_ = false;   // SDL_InitSubSystem succeeded
    bool driverForced_ = false;  // SDL_AudioInit("dummy") is ours to undo
    std::unique_ptr<ClockAudioDevice> clock_;
    bool paused_ = false;  // decode thread (and the constructor)
    enum class Sleep { Awake, Closed, Held };
    Sleep sleep_ = Sleep::Awake;  // decode thread
    std::chrono::steady_clock::time_point nextCheck_{};
    std::chrono::steady_clock::time_point nextRetry_{};
    mutable std::mutex nameMutex_;
    QString name_;
};
