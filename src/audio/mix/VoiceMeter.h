// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

// Counts voice frames leaving the output at the rate they were pushed in.
// The producer marks where in the voice ring a new input rate begins; the
// output callback counts what it consumes. Lock-free both ways.
class VoiceMeter {
public:
    explicit VoiceMeter(int outputRate);

    // Producer (holder of the voice lock): input at `rate` starts at ring
    // position `position`. Returns false when too many marks are pending.
    bool mark(std::uint64_t position, int rate);
    // Output callback: `count` ring frames from `position` were played.
    void consumed(std::uint64_t position, std::size_t count) noexcept;
    // Any thread.
    std::uint64_t playedInputFrames() const { return played_.load(std::memory_order_acquire); }

private:
    struct Mark {
        std::uint64_t position;
        int rate;
    };
    static constexpr std::size_t kMarks = 32;
    std::array<Mark, kMarks> marks_{};
    std::atomic<std::size_t> head_{0};  // next to write (producer)
    std::atomic<std::size_t> tail_{0};  // next to read (callback)
    int outputRate_;
    int rate_;                  // callback only
    std::uint64_t scaled_ = 0;  // callback only: frames x input rate
    std::atomic<std::uint64_t> played_{0};
};
