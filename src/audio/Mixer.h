#pragma once

#include "audio/PcmRing.h"
#include "audio/VoiceMeter.h"
#include "audio/WakeSignal.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

// Called on the output thread with every block handed to the device. Must not
// block, allocate or log.
using OutputTap = void (*)(void* context, const std::int16_t* frames, std::size_t count);

// Mixes the music and voice rings into the output format. render() is the
// body of the output callback: lock-free, no allocation, no I/O.
class Mixer {
public:
    Mixer();

    PcmRing& music() { return music_; }
    PcmRing& voice() { return voice_; }
    VoiceMeter& voiceMeter() { return meter_; }

    // Any thread. Paused music keeps its place; the voice goes on.
    void setMusicPaused(bool paused) { paused_.store(paused, std::memory_order_release); }
    bool musicPaused() const { return paused_.load(std::memory_order_acquire); }

    // Woken after every rendered block (the decoder refills then).
    WakeSignal& consumedSignal() { return consumed_; }
    // Woken when a producer has queued something (an unpaced output waits on it).
    WakeSignal& producedSignal() { return produced_; }
    void notifyProduced() noexcept { produced_.notify(); }

    // Set before any output runs.
    void setTap(OutputTap tap, void* context);

    // Output thread only.
    void render(std::int16_t* out, std::size_t frames) noexcept;
    // Any thread: frames an output could render right now without underrun.
    std::size_t pendingFrames() const;

private:
    void renderBlock(std::int16_t* out, std::size_t frames) noexcept;
    void addVoice(std::int16_t* out, const std::int16_t* voice, std::size_t samples,
                  std::size_t blockFrames) noexcept;
    void applyGain(std::int16_t* out, std::size_t samples, float gain) noexcept;

    static constexpr std::size_t kBlock = 1024;
    PcmRing music_;
    PcmRing voice_;
    VoiceMeter meter_;
    WakeSignal consumed_;
    WakeSignal produced_;
    std::atomic<bool> paused_{false};
    OutputTap tap_ = nullptr;
    void* tapContext_ = nullptr;
    // Output thread only.
    std::array<std::int16_t, kBlock * 2> voiceBlock_{};
    float gain_ = 1.0F;
};
