// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/mix/PcmRing.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(PcmRing, WrapsAroundAndKeepsOrder)
{
    PcmRing ring(8, 2);
    ASSERT_EQ(ring.capacity(), 8u);
    std::vector<std::int16_t> in;
    for (int i = 0; i < 12; ++i) {
        in.push_back(static_cast<std::int16_t>(i));
    }
    EXPECT_EQ(ring.write(in.data(), 6), 6u);
    std::vector<std::int16_t> out(16);
    EXPECT_EQ(ring.read(out.data(), 4), 4u);
    EXPECT_EQ(ring.write(in.data(), 6), 6u);  // wraps
    EXPECT_EQ(ring.freeFrames(), 0u);
    EXPECT_EQ(ring.write(in.data(), 1), 0u);  // full: nothing overwritten
    std::uint64_t start = 0;
    EXPECT_EQ(ring.read(out.data(), 8, &start), 8u);
    EXPECT_EQ(start, 4u);
    EXPECT_EQ(out[0], 8);  // frame 4 of the first write
    EXPECT_EQ(out[3], 11);
    EXPECT_EQ(out[4], 0);  // first frame of the second write
    EXPECT_EQ(out[15], 11);
    EXPECT_EQ(ring.readPosition(), 12u);
}

TEST(PcmRing, DiscardSkipsOnlyWhatWasQueuedBefore)
{
    PcmRing ring(16, 1);
    const std::int16_t old[4] = {1, 2, 3, 4};
    const std::int16_t fresh[2] = {7, 8};
    ring.write(old, 4);
    EXPECT_EQ(ring.discardQueued(), 4u);
    EXPECT_EQ(ring.queuedFrames(), 0u);
    ring.write(fresh, 2);
    EXPECT_EQ(ring.queuedFrames(), 2u);
    std::int16_t out[4] = {};
    std::uint64_t start = 0;
    EXPECT_EQ(ring.read(out, 4, &start), 2u);
    EXPECT_EQ(start, 4u);
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(out[1], 8);
}

// A ring nobody plays (the next song's, refilled): what was dropped makes
// room at once, and the reader later finds only the new frames.
TEST(PcmRing, DroppedFramesMakeRoomWithoutAReader)
{
    PcmRing ring(16, 1);
    std::int16_t frames[16];
    for (std::int16_t i = 0; i < 16; ++i) {
        frames[i] = i;
    }
    ASSERT_EQ(ring.write(frames, 16), 16u);
    EXPECT_EQ(ring.freeFrames(), 0u);
    ring.discardQueued();
    EXPECT_EQ(ring.freeFrames(), 16u);
    ASSERT_EQ(ring.write(frames + 3, 10), 10u);
    std::int16_t out[16] = {};
    EXPECT_EQ(ring.read(out, 16), 10u);
    EXPECT_EQ(out[0], 3);
    EXPECT_EQ(out[9], 12);
}

// One producer and one consumer hammer a small ring: every frame arrives once,
// in order, with both channels intact.
TEST(PcmRing, TwoThreadsPassEveryFrameInOrder)
{
    PcmRing ring(64, 2);
    constexpr std::uint32_t kFrames = 2'000'000;
    std::thread producer([&] {
        std::int16_t block[2 * 37];
        std::uint32_t next = 0;
        while (next < kFrames) {
            const std::uint32_t n = std::min<std::uint32_t>(37, kFrames - next);
            for (std::uint32_t i = 0; i < n; ++i) {
                block[2 * i] = static_cast<std::int16_t>((next + i) & 0x7FFF);
                block[2 * i + 1] = static_cast<std::int16_t>(~(next + i) & 0x7FFF);
            }
            std::uint32_t done = 0;
            while (done < n) {
                done += static_cast<std::uint32_t>(ring.write(block + 2 * done, n - done));
                if (done < n) {
                    std::this_thread::yield();
                }
            }
            next += n;
        }
    });
    std::uint32_t expected = 0;
    std::uint32_t errors = 0;
    std::int16_t block[2 * 29];
    while (expected < kFrames) {
        const std::size_t n = ring.read(block, 29);
        for (std::size_t i = 0; i < n; ++i, ++expected) {
            if (block[2 * i] != static_cast<std::int16_t>(expected & 0x7FFF) ||
                block[2 * i + 1] != static_cast<std::int16_t>(~expected & 0x7FFF)) {
                ++errors;
            }
        }
        if (n == 0) {
            std::this_thread::yield();
        }
    }
    producer.join();
    EXPECT_EQ(errors, 0u);
    EXPECT_EQ(ring.readPosition(), kFrames);
    EXPECT_EQ(ring.queuedFrames(), 0u);
}
