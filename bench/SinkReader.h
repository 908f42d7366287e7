// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioEngine.h"
#include "audio/mix/OutputSink.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

// Hands what the engine's output plays to `onSound` on a thread of its own,
// read from a sink as a broadcast would read it. Its ring holds many seconds,
// so an unpaced output does not outrun it; drops, should any come, are told
// on stderr. Destroy it before the engine.
class SinkReader {
public:
    using OnSound = std::function<void(const std::int16_t* frames, std::size_t count)>;

    SinkReader(AudioEngine& engine, OnSound onSound, std::size_t capacityFrames = 1U << 21)
        : engine_(engine),
          sink_(std::make_shared<OutputSink>(capacityFrames)),
          onSound_(std::move(onSound)),
          reader_([this] { readUntilStopped(); })
    {
        if (!engine_.addSink(sink_)) {
            std::fprintf(stderr, "no room for another output sink\n");
        }
    }
    ~SinkReader()
    {
        engine_.removeSink(sink_);
        settle();
        stop_.store(true, std::memory_order_release);
        sink_->wake();
        reader_.join();
        if (sink_->droppedFrames() > 0) {
            std::fprintf(stderr, "the output sink dropped %llu frames\n",
                         static_cast<unsigned long long>(sink_->droppedFrames()));
        }
    }
    SinkReader(const SinkReader&) = delete;
    SinkReader& operator=(const SinkReader&) = delete;

    // Returns once everything played so far has gone to onSound (5 s at most).
    void settle() const
    {
        const std::uint64_t queued = sink_->framesQueued();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (taken_.load(std::memory_order_acquire) < queued &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }

private:
    void readUntilStopped()
    {
        std::vector<std::int16_t> buffer(4096 * 2);
        while (!stop_.load(std::memory_order_acquire)) {
            if (!sink_->waitForFrames(std::chrono::milliseconds(200))) {
                continue;
            }
            const std::size_t n = sink_->read(buffer.data(), buffer.size() / 2);
            onSound_(buffer.data(), n);
            taken_.fetch_add(n, std::memory_order_release);
        }
    }

    AudioEngine& engine_;
    std::shared_ptr<OutputSink> sink_;
    OnSound onSound_;
    std::atomic<std::uint64_t> taken_{0};
    std::atomic<bool> stop_{false};
    std::thread reader_;
};
