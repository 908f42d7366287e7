// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/WakeSignal.h"
#include "audio/mix/PcmRing.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

// A consumer of the mixed sound beside the speaker (a broadcast, a capture):
// the output thread offers it every block the speaker gets, through a ring
// of its own with this one producer. The speaker never waits for it: a block
// that does not fit in the ring is dropped whole and counted, so a consumer
// that falls behind loses sound and nothing else, and what it reads is whole
// blocks. Its consumer thread waits on it without polling. Output format
// (44.1 kHz stereo 16-bit).
class OutputSink {
public:
    explicit OutputSink(std::size_t capacityFrames);
    OutputSink(const OutputSink&) = delete;
    OutputSink& operator=(const OutputSink&) = delete;

    // Output thread only (through the mixer's sinks): queues the block or
    // drops it, wakes the consumer. Never blocks, allocates or logs.
    void offer(const std::int16_t* frames, std::size_t count) noexcept;

    // The one consumer thread. Returns the frames copied to `out`.
    std::size_t read(std::int16_t* out, std::size_t maxFrames);
    // Returns once frames are queued (true), the timeout has passed or
    // wake() was called (true only if frames came meanwhile).
    bool waitForFrames(std::chrono::milliseconds timeout);

    // Any thread: a waiting consumer returns (to look whether it should stop).
    void wake() noexcept { offered_.notify(); }
    std::size_t capacity() const { return ring_.capacity(); }
    std::size_t queuedFrames() const { return ring_.queuedFrames(); }
    // Frames queued since the start, read or not; dropped ones do not count.
    std::uint64_t framesQueued() const { return ring_.writePosition(); }
    std::uint64_t droppedFrames() const { return dropped_.load(std::memory_order_acquire); }
    // Blocks the output has offered, queued or dropped (the speaker took as many).
    std::uint64_t blocks() const { return blocks_.load(std::memory_order_acquire); }

private:
    PcmRing ring_;
    WakeSignal offered_;
    std::atomic<std::uint64_t> dropped_{0};
    std::atomic<std::uint64_t> blocks_{0};
};
