#include "audio/mix/OutputSink.h"

#include "audio/AudioFormat.h"

OutputSink::OutputSink(std::size_t capacityFrames) : ring_(capacityFrames, audio_format::kChannels)
{
}

void OutputSink::offer(const std::int16_t* frames, std::size_t count) noexcept
{
    const std::size_t written = ring_.write(frames, count);
    if (written < count) {
        dropped_.fetch_add(count - written, std::memory_order_acq_rel);
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
    if (ring_.queuedFrames() == 0) {
        offered_.waitFor(timeout);
    }
    return ring_.queuedFrames() > 0;
}
