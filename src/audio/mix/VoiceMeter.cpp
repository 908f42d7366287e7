// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/mix/VoiceMeter.h"

#include <algorithm>

VoiceMeter::VoiceMeter(int outputRate) : outputRate_(outputRate), rate_(outputRate) {}

bool VoiceMeter::mark(std::uint64_t position, int rate)
{
    const std::size_t head = head_.load(std::memory_order_relaxed);
    if (head - tail_.load(std::memory_order_acquire) >= kMarks) {
        return false;
    }
    marks_[head % kMarks] = Mark{position, rate};
    head_.store(head + 1, std::memory_order_release);
    return true;
}

void VoiceMeter::consumed(std::uint64_t position, std::size_t count) noexcept
{
    std::size_t tail = tail_.load(std::memory_order_relaxed);
    const std::size_t head = head_.load(std::memory_order_acquire);
    while (count > 0) {
        while (tail != head && marks_[tail % kMarks].position <= position) {
            rate_ = marks_[tail % kMarks].rate;
            ++tail;
        }
        std::size_t run = count;
        if (tail != head) {
            run = static_cast<std::size_t>(
                std::min<std::uint64_t>(run, marks_[tail % kMarks].position - position));
        }
        scaled_ += static_cast<std::uint64_t>(run) * static_cast<std::uint64_t>(rate_);
        position += run;
        count -= run;
    }
    tail_.store(tail, std::memory_order_release);
    played_.store(scaled_ / static_cast<std::uint64_t>(outputRate_), std::memory_order_release);
}
