// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/FollowOn.h"
#include "audio/WakeSignal.h"
#include "audio/loudness/PeakLimiter.h"
#include "audio/mix/Crossfade.h"
#include "audio/mix/Ducker.h"
#include "audio/mix/OutputSinks.h"
#include "audio/mix/PcmRing.h"
#include "audio/mix/VoiceMeter.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

// Mixes music and voice into the output format. render() is the body of the
// output callback: lock-free, no allocation, no I/O.
//
// Music comes from one of two rings: the audible one, and one where the next
// song waits with its start already decoded. When the decoder has marked the
// end of the audible ring's song and a follow-on is armed, the output moves
// to the other ring on the frame after that end, in the same block: songs
// join without a gap. An armed follow-on with an overlap is taken that much
// before the expected end instead, while the voice is silent: the next song
// starts under the end of the one playing, which goes on being read from its
// ring, faded by the blend, until its end (a crossfade never starts under
// the voice; when the voice talks then, the follow-on waits for the end as
// without an overlap). The switch is one atomic word that the output thread
// and the decode thread change by compare-and-swap only: bit 0 the audible
// ring, bit 1 armed, bits 8-15 the follow-on mode, bits 16-29 the overlap in
// ms, bits 30-31 its blend, bits 32-63 the follow-ons taken.
class Mixer {
public:
    static constexpr int kMusicRings = 2;
    static constexpr std::uint64_t kNoEnd = ~std::uint64_t{0};

    struct Switch {
        int audible = 0;  // the ring the output plays
        bool armed = false;
        FollowOn mode = FollowOn::Always;
        std::uint16_t overlapMs = 0;  // 0: one song right after the other
        crossfade::Blend blend = crossfade::Blend::EqualPower;
        std::uint32_t takes = 0;  // follow-ons taken so far
    };
    // The largest overlap the switch word holds.
    static constexpr std::uint16_t kMaxOverlapMs = 0x3FFF;

    Mixer();

    // The ring that is audible now.
    PcmRing& music() { return musicRing(switchState().audible); }
    PcmRing& musicRing(int index) { return music_[static_cast<std::size_t>(index & 1)]; }
    const PcmRing& musicRing(int index) const
    {
        return music_[static_cast<std::size_t>(index & 1)];
    }
    PcmRing& voice() { return voice_; }
    VoiceMeter& voiceMeter() { return meter_; }
    Ducker& ducker() { return ducker_; }

    // Any thread. Paused music keeps its place; the voice goes on.
    void setMusicPaused(bool paused) { paused_.store(paused, std::memory_order_release); }
    bool musicPaused() const { return paused_.load(std::memory_order_acquire); }

    // Decode thread: the song in `ring` ends at `position` (kNoEnd: not yet known).
    void markEnd(int ring, std::uint64_t position);
    std::uint64_t endOf(int ring) const;
    // Decode thread: where the song in `ring` is expected to end, long before
    // its end is written (kNoEnd: no range runs there).
    void markExpectedEnd(int ring, std::uint64_t position);
    std::uint64_t expectedEndOf(int ring) const;
    // Any thread: an overlap is being played (the song that ends still sounds).
    bool crossfading() const { return crossfading_.load(std::memory_order_acquire); }

    // Any thread.
    Switch switchState() const { return unpack(switch_.load(std::memory_order_acquire)); }
    // Decode thread. Arms the other ring to follow the audible one; false
    // when the word changed under it (call again after looking).
    bool arm(const Switch& seen, FollowOn mode, std::uint16_t overlapMs = 0,
             crossfade::Blend blend = crossfade::Blend::EqualPower);
    // Decode thread. Makes `ring` audible and disarms; false when the word
    // changed under it (a follow-on was just taken).
    bool select(const Switch& seen, int ring);

    // Woken after a rendered block when the decode thread has something to
    // do (decoderWanted()).
    WakeSignal& consumedSignal() { return consumed_; }
    // Woken when a producer has queued something (an unpaced output waits on it).
    WakeSignal& producedSignal() { return produced_; }
    void notifyProduced() noexcept { produced_.notify(); }

    // Fed every rendered buffer once it is final, as the device gets it.
    OutputSinks& sinks() { return sinks_; }

    // Output thread only.
    void render(std::int16_t* out, std::size_t frames) noexcept;
    // Any thread: frames an output could render right now without underrun.
    std::size_t pendingFrames() const;
    // Any thread: music or voice is waiting to be heard.
    bool hasSound() const { return pendingFrames() > 0; }

private:
    static std::uint64_t pack(const Switch& s);
    static Switch unpack(std::uint64_t word);
    // An overlap under way: output thread only.
    struct Fade {
        bool active = false;
        int ring = 0;  // the ring of the song that ends
        std::uint64_t done = 0;
        std::uint64_t length = 1;
        crossfade::Blend blend = crossfade::Blend::EqualPower;
        std::uint32_t takes = 0;  // the follow-on it came with
    };

    std::size_t readMusic(std::int16_t* out, std::size_t frames) noexcept;
    std::size_t readPlain(std::int16_t* out, std::size_t frames) noexcept;
    std::uint64_t crossfadeStart(const Switch& s) const;
    bool startFade(std::uint64_t word, const Switch& s, std::uint64_t at);
    std::size_t readFading(std::int16_t* out, std::size_t frames) noexcept;
    bool atEnd(int ring) const;
    // What render() saw before its blocks, to tell what they changed.
    struct Seen {
        std::uint32_t takes = 0;
        std::uint64_t voiceRead = 0;
        bool fading = false;
    };
    bool decoderWanted(const Seen& before) const;
    void renderBlock(std::int16_t* out, std::size_t frames) noexcept;
    void addVoice(std::int16_t* out, std::size_t voiceFrames, std::size_t blockFrames) noexcept;

    static constexpr std::size_t kBlock = 1024;
    std::array<PcmRing, kMusicRings> music_;
    std::array<std::atomic<std::uint64_t>, kMusicRings> end_;
    std::array<std::atomic<std::uint64_t>, kMusicRings> expectedEnd_;
    std::atomic<bool> crossfading_{false};
    std::atomic<std::uint64_t> switch_{0};
    PcmRing voice_;
    VoiceMeter meter_;
    Ducker ducker_;
    WakeSignal consumed_;
    WakeSignal produced_;
    std::atomic<bool> paused_{false};
    OutputSinks sinks_;
    // Output thread only.
    std::array<std::int16_t, kBlock * 2> voiceBlock_{};
    std::array<float, kBlock * 2> sum_{};
    PeakLimiter guard_;
    Fade fade_;
    std::array<std::int16_t, kBlock * 2> fadeBlock_{};
    // Two songs at once can pass the true-peak ceiling that each keeps.
    PeakLimiter overlapGuard_;
};
