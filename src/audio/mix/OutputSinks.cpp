// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/mix/OutputSinks.h"

#include "audio/mix/OutputSink.h"

#include <thread>

bool OutputSinks::add(std::shared_ptr<OutputSink> sink)
{
    if (!sink) {
        return false;
    }
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < kMaxSinks; ++i) {
        if (held_[i] == sink) {
            return true;
        }
    }
    for (std::size_t i = 0; i < kMaxSinks; ++i) {
        if (!held_[i]) {
            held_[i] = std::move(sink);
            live_[i].store(held_[i].get(), std::memory_order_seq_cst);
            return true;
        }
    }
    return false;
}

void OutputSinks::remove(const std::shared_ptr<OutputSink>& sink)
{
    std::shared_ptr<OutputSink> released;
    {
        std::lock_guard lock(mutex_);
        for (std::size_t i = 0; i < kMaxSinks; ++i) {
            if (held_[i] && held_[i] == sink) {
                live_[i].store(nullptr, std::memory_order_seq_cst);
                released = std::move(held_[i]);
                held_[i].reset();
            }
        }
    }
    if (released) {
        waitForFeed();  // an offer that saw it has ended before it may go
    }
}

// A feed that began before the sink left the list ends within a block's
// copy; one that begins after it no longer sees the sink: its seq_cst count
// comes after this load, which came after the slot was cleared.
void OutputSinks::waitForFeed() const
{
    const std::uint64_t seen = feeds_.load(std::memory_order_seq_cst);
    if ((seen & 1U) == 0) {
        return;
    }
    while (feeds_.load(std::memory_order_seq_cst) == seen) {
        std::this_thread::yield();
    }
}

void OutputSinks::feed(const std::int16_t* frames, std::size_t count) noexcept
{
    feeds_.fetch_add(1, std::memory_order_seq_cst);
    for (auto& live : live_) {
        if (OutputSink* sink = live.load(std::memory_order_seq_cst)) {
            sink->offer(frames, count);
        }
    }
    feeds_.fetch_add(1, std::memory_order_release);
}
