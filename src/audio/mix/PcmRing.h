// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

// Lock-free ring of interleaved 16-bit frames between one producer thread and
// one consumer thread (the output callback). Positions are absolute frame
// counts that never wrap, so "how much was played" is a plain subtraction.
class PcmRing {
public:
    // The capacity is rounded up to a power of two.
    PcmRing(std::size_t capacityFrames, int channels);

    std::size_t capacity() const { return capacity_; }
    int channels() const { return channels_; }

    // Producer side. Frames dropped by discardQueued() count as free once no
    // read is under way, even when the consumer has not come by since (a
    // ring that is not being played).
    std::size_t freeFrames() const;
    std::size_t write(const std::int16_t* frames, std::size_t count);
    // Drops everything written so far; the consumer skips it at its next read.
    // Returns the position where the next written frame will be.
    std::uint64_t discardQueued();
    std::uint64_t writePosition() const { return write_.load(std::memory_order_acquire); }

    // Consumer side. Returns the frames copied; *start gets the position of the
    // first of them.
    std::size_t read(std::int16_t* out, std::size_t count, std::uint64_t* start = nullptr);

    // Any thread.
    std::uint64_t readPosition() const { return read_.load(std::memory_order_acquire); }
    std::size_t queuedFrames() const;

private:
    std::vector<std::int16_t> data_;
    std::size_t capacity_;
    std::size_t mask_;
    int channels_;
    alignas(64) std::atomic<std::uint64_t> write_{0};
    alignas(64) std::atomic<std::uint64_t> read_{0};
    alignas(64) std::atomic<std::uint64_t> discardTo_{0};
    // Set by the consumer while it copies frames out.
    alignas(64) std::atomic<bool> reading_{false};
};
