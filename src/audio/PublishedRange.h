// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/SongId.h"

#include <atomic>
#include <cstdint>
#include <limits>

class Mixer;

// The range the program plays, as every thread may see it: the play it
// belongs to, the ring it is in, where it starts and ends there and how long
// it is. The decode thread writes it (the play last); the GUI thread reads
// its progress.
class PublishedRange {
public:
    static constexpr std::uint64_t kOpen = std::numeric_limits<std::uint64_t>::max();

    struct Progress {
        bool started = false;  // the worker has begun the range
        bool ended = false;    // its last frame has left the output
        int percent = 0;
        // Output frames of the range that have left for the device.
        std::uint64_t playedFrames = 0;
    };

    // Decode thread. A range that does not play ends where it starts.
    void publish(SongId play, int ring, std::uint64_t start, std::uint64_t expected, bool playing);
    void setEnd(std::uint64_t end) { end_.store(end, std::memory_order_release); }
    bool endKnown() const { return end_.load(std::memory_order_acquire) != kOpen; }
    std::uint64_t start() const { return start_.load(std::memory_order_acquire); }
    int ring() const { return ring_.load(std::memory_order_acquire); }

    // Any thread: how far the range of `play` has come (nothing before the
    // decode thread has begun it).
    Progress progress(SongId play, const Mixer& mixer) const;

private:
    std::atomic<int> ring_{0};
    std::atomic<std::uint64_t> start_{0};
    std::atomic<std::uint64_t> expected_{0};
    std::atomic<std::uint64_t> end_{0};
    std::atomic<std::uint64_t> play_{0};
};
