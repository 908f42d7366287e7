// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/mix/Mixer.h"
#include "audio/mix/OutputSink.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t kCallback = 512;  // frames the device asks for at a time
constexpr std::size_t kTotal = 16384;

// Music and voice loud enough together that the limiter works on every
// block: what a sink gets must be what comes after it.
std::vector<std::int16_t> speakerOutput(std::vector<std::shared_ptr<OutputSink>> sinks,
                                        std::vector<std::int16_t>* readBack = nullptr)
{
    Mixer mixer;
    mixer.ducker().setDepthDb(0.0);
    for (auto& sink : sinks) {
        EXPECT_TRUE(mixer.sinks().add(sink));
    }
    std::vector<std::int16_t> music(kTotal * 2);
    std::vector<std::int16_t> voice(kTotal * 2);
    for (std::size_t i = 0; i < music.size(); ++i) {
        music[i] = static_cast<std::int16_t>(std::lround(30000 * std::sin(0.01 * double(i))));
        voice[i] = static_cast<std::int16_t>(std::lround(20000 * std::sin(0.037 * double(i))));
    }
    mixer.music().write(music.data(), kTotal);
    mixer.voice().write(voice.data(), kTotal);
    std::vector<std::int16_t> out(kTotal * 2);
    for (std::size_t done = 0; done < kTotal; done += kCallback) {
        mixer.render(out.data() + done * 2, kCallback);
        if (readBack != nullptr) {
            std::vector<std::int16_t> got(kCallback * 2);
            const std::size_t n = sinks.back()->read(got.data(), kCallback);
            readBack->insert(readBack->end(), got.begin(), got.begin() + std::ptrdiff_t(n * 2));
        }
    }
    return out;
}

}  // namespace

TEST(OutputSinks, AStalledSinkDropsAndTheSpeakerPlaysOnWhileAReadOneGetsEveryFrame)
{
    const auto alone = speakerOutput({});
    auto stalled = std::make_shared<OutputSink>(2048);  // nobody reads it
    auto read = std::make_shared<OutputSink>(4096);
    std::vector<std::int16_t> heard;
    const auto beside = speakerOutput({stalled, read}, &heard);

    EXPECT_EQ(beside, alone);
    EXPECT_EQ(heard, alone);  // bit-exact, the limited sound
    EXPECT_EQ(read->droppedFrames(), 0u);
    // Whole blocks only: it filled up, then dropped every block after.
    EXPECT_EQ(stalled->framesQueued(), 2048u);
    EXPECT_EQ(stalled->droppedFrames(), kTotal - 2048);
    EXPECT_EQ(stalled->blocks(), kTotal / kCallback);
}

TEST(OutputSinks, ARemovedSinkIsNoLongerTouchedAndTheListHasRoomAgain)
{
    Mixer mixer;
    std::atomic<bool> stop{false};
    std::thread output([&] {
        std::vector<std::int16_t> block(kCallback * 2);
        while (!stop.load()) {
            mixer.render(block.data(), kCallback);
        }
    });
    for (int round = 0; round < 200; ++round) {
        auto sink = std::make_shared<OutputSink>(1024);
        ASSERT_TRUE(mixer.sinks().add(sink));
        mixer.sinks().remove(sink);
        const auto blocks = sink->blocks();
        std::this_thread::yield();
        ASSERT_EQ(sink->blocks(), blocks);
    }
    std::vector<std::shared_ptr<OutputSink>> full;
    for (std::size_t i = 0; i < OutputSinks::kMaxSinks; ++i) {
        full.push_back(std::make_shared<OutputSink>(1024));
        EXPECT_TRUE(mixer.sinks().add(full.back()));
    }
    EXPECT_FALSE(mixer.sinks().add(std::make_shared<OutputSink>(1024)));
    EXPECT_FALSE(mixer.sinks().add(nullptr));
    stop.store(true);
    output.join();
}

TEST(OutputSink, AWaitingConsumerWakesForABlockWithoutPolling)
{
    OutputSink sink(1024);
    std::atomic<bool> woke{false};
    std::thread consumer([&] { woke.store(sink.waitForFrames(std::chrono::seconds(5))); });
    const std::vector<std::int16_t> block(256 * 2, 7);
    sink.offer(block.data(), 256);
    consumer.join();
    EXPECT_TRUE(woke.load());
    sink.wake();
    std::vector<std::int16_t> out(256 * 2);
    EXPECT_EQ(sink.read(out.data(), 256), 256u);
    EXPECT_FALSE(sink.waitForFrames(std::chrono::seconds(5)));  // woken, nothing queued
}
