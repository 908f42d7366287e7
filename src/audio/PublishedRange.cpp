// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/PublishedRange.h"

#include "audio/mix/Mixer.h"

#include <algorithm>

void PublishedRange::publish(SongId play, int ring, std::uint64_t start, std::uint64_t expected,
                             bool playing)
{
    ring_.store(ring, std::memory_order_release);
    start_.store(start, std::memory_order_release);
    expected_.store(playing ? expected : 0, std::memory_order_release);
    end_.store(playing ? kOpen : start, std::memory_order_release);
    play_.store(play.packed(), std::memory_order_release);
}

PublishedRange::Progress PublishedRange::progress(SongId play, const Mixer& mixer) const
{
    Progress progress;
    if (!play || play_.load(std::memory_order_acquire) != play.packed()) {
        return progress;
    }
    progress.started = true;
    const int ring = ring_.load(std::memory_order_acquire);
    const std::uint64_t start = start_.load(std::memory_order_acquire);
    const std::uint64_t expected = expected_.load(std::memory_order_acquire);
    const std::uint64_t end = end_.load(std::memory_order_acquire);
    const std::uint64_t read = mixer.musicRing(ring).readPosition();
    progress.ended = end != kOpen && (end == start || read >= end);
    if (read > start) {
        progress.playedFrames = (end != kOpen ? std::min(read, end) : read) - start;
    }
    if (progress.ended) {
        progress.percent = 100;
    } else if (read > start && expected > 0) {
        progress.percent =
            static_cast<int>(std::min<std::uint64_t>(100, (read - start) * 100 / expected));
    }
    return progress;
}
