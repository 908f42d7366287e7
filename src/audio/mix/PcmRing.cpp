// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/mix/PcmRing.h"

#include <algorithm>
#include <bit>
#include <cstring>

PcmRing::PcmRing(std::size_t capacityFrames, int channels)
    : capacity_(std::bit_ceil(std::max<std::size_t>(capacityFrames, 2))),
      mask_(capacity_ - 1),
      channels_(channels)
{
    data_.assign(capacity_ * static_cast<std::size_t>(channels_), 0);
}

std::size_t PcmRing::freeFrames() const
{
    const std::uint64_t w = write_.load(std::memory_order_relaxed);
    std::uint64_t r = read_.load(std::memory_order_acquire);
    // The discard mark was stored before this (sequentially consistent with
    // the consumer's flag): a read that starts from now on skips to it, and
    // none is half done, so what lies before it may be overwritten.
    const std::uint64_t skip = discardTo_.load(std::memory_order_seq_cst);
    if (skip > r && !reading_.load(std::memory_order_seq_cst)) {
        r = skip;
    }
    return capacity_ - static_cast<std::size_t>(w - r);
}

std::size_t PcmRing::write(const std::int16_t* frames, std::size_t count)
{
    const std::uint64_t w = write_.load(std::memory_order_relaxed);
    count = std::min(count, freeFrames());
    const std::size_t ch = static_cast<std::size_t>(channels_);
    const std::size_t at = static_cast<std::size_t>(w) & mask_;
    const std::size_t first = std::min(count, capacity_ - at);
    std::memcpy(&data_[at * ch], frames, first * ch * sizeof(std::int16_t));
    std::memcpy(data_.data(), frames + first * ch, (count - first) * ch * sizeof(std::int16_t));
    write_.store(w + count, std::memory_order_release);
    return count;
}

std::uint64_t PcmRing::discardQueued()
{
    const std::uint64_t w = write_.load(std::memory_order_relaxed);
    discardTo_.store(w, std::memory_order_seq_cst);
    return w;
}

std::size_t PcmRing::read(std::int16_t* out, std::size_t count, std::uint64_t* start)
{
    reading_.store(true, std::memory_order_seq_cst);
    std::uint64_t r = read_.load(std::memory_order_relaxed);
    const std::uint64_t skip = discardTo_.load(std::memory_order_seq_cst);
    if (skip > r) {
        r = skip;
    }
    const std::uint64_t w = write_.load(std::memory_order_acquire);
    count = std::min<std::size_t>(count, static_cast<std::size_t>(w - r));
    const std::size_t ch = static_cast<std::size_t>(channels_);
    const std::size_t at = static_cast<std::size_t>(r) & mask_;
    const std::size_t first = std::min(count, capacity_ - at);
    std::memcpy(out, &data_[at * ch], first * ch * sizeof(std::int16_t));
    std::memcpy(out + first * ch, data_.data(), (count - first) * ch * sizeof(std::int16_t));
    if (start != nullptr) {
        *start = r;
    }
    read_.store(r + count, std::memory_order_release);
    reading_.store(false, std::memory_order_release);
    return count;
}

std::size_t PcmRing::queuedFrames() const
{
    const std::uint64_t r =
        std::max(read_.load(std::memory_order_acquire), discardTo_.load(std::memory_order_acquire));
    const std::uint64_t w = write_.load(std::memory_order_acquire);
    return w > r ? static_cast<std::size_t>(w - r) : 0;
}
