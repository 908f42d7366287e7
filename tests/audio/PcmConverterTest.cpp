// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/PcmConverter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

namespace {

std::vector<std::int16_t> drain(PcmConverter& converter)
{
    std::vector<std::int16_t> out;
    std::vector<std::int16_t> block(1000 * 2);
    while (std::size_t got = converter.get(block.data(), 1000)) {
        out.insert(out.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(got * 2));
    }
    return out;
}

}  // namespace

// Whatever the rate, a finished input comes out whole, its last frames
// included: nothing is kept back and no padding is added.
TEST(PcmConverter, FinishedInputComesOutWholeAtEveryRate)
{
    for (const int rate : {8000, 11025, 22050, 32000, 44100, 48000, 96000}) {
        for (const int channels : {1, 2}) {
            PcmConverter converter(rate, channels);
            ASSERT_TRUE(converter.valid());
            const std::size_t frames = static_cast<std::size_t>(rate) * 3 / 10;  // 0.3 s
            const std::vector<std::int16_t> level(frames * static_cast<std::size_t>(channels),
                                                  8000);
            std::vector<std::int16_t> out;
            for (std::size_t done = 0; done < frames; done += 777) {
                const std::size_t n = std::min<std::size_t>(777, frames - done);
                ASSERT_TRUE(converter.put(level.data(), n));
                const auto part = drain(converter);
                out.insert(out.end(), part.begin(), part.end());
            }
            EXPECT_TRUE(converter.unfinished());
            converter.finish();
            EXPECT_FALSE(converter.unfinished());
            const auto tail = drain(converter);
            out.insert(out.end(), tail.begin(), tail.end());
            const auto expected = std::lround(static_cast<double>(frames) * 44100 / rate);
            ASSERT_EQ(out.size(), static_cast<std::size_t>(expected) * 2)
                << rate << " Hz, " << channels << " ch";
            // The last frames are the input's, not silence.
            EXPECT_GT(std::abs(out[out.size() - 200]), 7000) << rate << " Hz";
            EXPECT_EQ(converter.available(), 0u);
        }
    }
}

TEST(PcmConverter, AnUnreadTailWaitsForTheNextStretch)
{
    PcmConverter converter(22050, 1);
    const std::vector<std::int16_t> first(2205, 1000);
    const std::vector<std::int16_t> second(2205, -1000);
    converter.put(first.data(), first.size());
    converter.finish();
    converter.put(second.data(), second.size());
    converter.finish();
    const auto out = drain(converter);
    ASSERT_EQ(out.size(), 2u * 4410u * 2u);
    EXPECT_GT(out[4410 * 2 - 20], 900);   // end of the first stretch
    EXPECT_LT(out[4410 * 2 + 20], -900);  // start of the second
    converter.put(first.data(), first.size());
    converter.clear();
    EXPECT_EQ(converter.available(), 0u);
    EXPECT_FALSE(converter.unfinished());
}

// A format no real audio uses would make one chunk grow thousandfold; it
// gets no converter. One put is bounded, so its growth is too.
TEST(PcmConverter, AbsurdFormatsGetNoConverterAndOneChunkGrowsBoundedly)
{
    const struct {
        int rate;
        int channels;
        bool valid;
    } formats[] = {{2, 1, false},      {7999, 2, false},  {8000, 1, true},   {384000, 8, true},
                   {384001, 2, false}, {44100, 0, false}, {44100, 9, false}, {-44100, 2, false}};
    for (const auto& f : formats) {
        PcmConverter converter(f.rate, f.channels);
        EXPECT_EQ(converter.valid(), f.valid) << f.rate << " Hz, " << f.channels << " ch";
        const std::vector<std::int16_t> some(64, 1);
        EXPECT_EQ(converter.put(some.data(), 8), f.valid);
    }

    PcmConverter slowest(PcmConverter::kMinRate, 1);
    const std::vector<std::int16_t> chunk(PcmConverter::kMaxPutFrames + 1, 500);
    EXPECT_FALSE(slowest.put(chunk.data(), chunk.size()));
    EXPECT_EQ(slowest.available(), 0u);
    ASSERT_TRUE(slowest.put(chunk.data(), PcmConverter::kMaxPutFrames));
    slowest.finish();
    const auto grown = std::lround(static_cast<double>(PcmConverter::kMaxPutFrames) * 44100 /
                                   PcmConverter::kMinRate);
    EXPECT_EQ(drain(slowest).size(), static_cast<std::size_t>(grown) * 2);
}

// Input taken out whole before the end is marked leaves nothing to finish:
// nothing more comes out, and SDL is never handed an empty buffer, which it
// would report as an error in a per-thread block that a thread SDL did not
// start never frees (the leak checker of the sanitizer build sees it).
TEST(PcmConverter, FinishingWhatWasAllTakenGivesNothingMore)
{
    std::thread([] {
        PcmConverter converter(44100, 2);
        const std::vector<std::int16_t> frames(2 * 2048, 300);
        ASSERT_TRUE(converter.put(frames.data(), 2048));
        EXPECT_EQ(drain(converter).size(), 2u * 2048);
        converter.finish();
        EXPECT_EQ(converter.available(), 0u);
        EXPECT_TRUE(drain(converter).empty());
    }).join();
}
