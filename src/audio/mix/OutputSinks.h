// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

class OutputSink;

// The sinks beside the speaker: every block the output renders is offered
// to each of them. The output thread walks the list without a lock; adding
// and removing (any other thread) take a short lock among themselves, and a
// removal waits until no offer to the sink can be under way, so the sink may
// be dropped right after.
class OutputSinks {
public:
    static constexpr std::size_t kMaxSinks = 4;

    // Any thread but the output's (a removal waits for the output's feed).
    // False when the list is full or `sink` is null; adding one twice keeps one.
    bool add(std::shared_ptr<OutputSink> sink);
    void remove(const std::shared_ptr<OutputSink>& sink);

    // Output thread only.
    void feed(const std::int16_t* frames, std::size_t count) noexcept;

private:
    void waitForFeed() const;

    std::array<std::atomic<OutputSink*>, kMaxSinks> live_{};
    // Odd while a feed is under way; counts feeds.
    std::atomic<std::uint64_t> feeds_{0};
    std::mutex mutex_;
    std::array<std::shared_ptr<OutputSink>, kMaxSinks> held_;  // guarded by mutex_
};
