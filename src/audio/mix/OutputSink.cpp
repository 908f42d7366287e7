// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/mix/OutputSink.h"

#include "audio/AudioFormat.h"

OutputSink::OutputSink(std::size_t capacityFrames) : ring_(capacityFrames, audio_format::kChannels)
{
}

void OutputSink::offer(const std::int16_t* frames, std::size_t count) noexcept
{
    // Half a block would join the start of one block to a later one without
    // a mark; dropping it whole keeps the gap on a block's edge.
    if (ring_.freeFrames() >= count) {
        ring_.write(frames, count);
    } else {
        dropped_.fetch_add(count, std::memory_order_acq_rel);
    }
    blocks_.fetch_add(1, std::memory_order_acq_rel);
    offered_.notify();
}

std::size_t OutputSink::read(std::int16_t* out, std::size_t maxFrames)
{
    return ring_.read(out, maxFrames);
}

bool OutputSink::waitForFrames(std::chrono::milliseconds timeout)
{
    // A notify between the look and the wait leaves the signal pending, so
    // the wait returns at once: no block is slept through.
    if (ring_.queuedFrames() == 0) {
        offered_.waitFor(timeout);
    }
    return ring_.queuedFrames() > 0;
}
