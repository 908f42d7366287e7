// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/PlayerFrame.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(PlayerFrame, LengthsCountFramesAt44100WhateverTheSongsRate)
{
    struct Case {
        const char* what;
        std::int64_t songFrames;
        int rate;
        std::int32_t frames;
    };
    for (const Case& c : {
             Case{"3 s at 44.1 kHz", 132300, 44100, 132300},
             Case{"1 s at 48 kHz", 48000, 48000, 44100},
             Case{"1.2 s at 22.05 kHz", 26460, 22050, 52920},
             Case{"a partly filled last frame counts", 1, 48000, 1},
             Case{"one frame short of a second at 48 kHz", 47999, 48000, 44100},
             Case{"ten hours fit", 10LL * 3600 * 48000, 48000, 1587600000},
             Case{"longer is clamped", 20LL * 3600 * 44100, 44100, player_frame::kLongest},
             Case{"nothing", 0, 44100, 0},
             Case{"no rate", 1000, 0, 0},
         }) {
        EXPECT_EQ(player_frame::lengthOf(c.songFrames, c.rate), c.frames) << c.what;
    }
}

TEST(PlayerFrame, OffsetsMapToTheSongsOwnFramesAndToMilliseconds)
{
    struct Case {
        std::int64_t offset;
        int rate;
        std::int64_t songFrame;
        std::int64_t ms;
    };
    for (const Case& c : {
             Case{0, 44100, 0, 0},
             Case{9, 44100, 9, 0},  // the flush start's first start, 0.2 ms in
             Case{499, 44100, 499, 11},
             Case{499, 22050, 249, 11},
             Case{44100, 48000, 48000, 1000},
             Case{44099, 48000, 47998, 999},
             Case{31999, 44100, 31999, 725},  // the furthest flush start
             Case{2147483646, 96000, 4674794331, 48695774},
         }) {
        EXPECT_EQ(player_frame::songFrameAt(c.offset, c.rate), c.songFrame) << c.offset;
        EXPECT_EQ(player_frame::msAt(c.offset), c.ms) << c.offset;
    }
}

TEST(PlayerFrame, AMillisecondReadsBackAsItself)
{
    for (const std::int64_t ms : {0LL, 1LL, 11LL, 999LL, 12345LL, 61249LL, 48695774LL}) {
        const std::int64_t offset = player_frame::offsetAtMs(ms);
        EXPECT_EQ(player_frame::msAt(offset), ms) << ms;
        // ... and it is the first offset that does.
        if (offset > 0) {
            EXPECT_LT(player_frame::msAt(offset - 1), ms) << ms;
        }
    }
    EXPECT_EQ(player_frame::offsetAtMs(-5), 0);
}
