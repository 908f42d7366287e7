// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/AnnouncementSchedule.h"

#include "common/TestSupport.h"
#include "settings/RadioSettings.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

class AnnouncementScheduleTest : public ::testing::Test {
protected:
    testing_support::SettingsSandbox sandbox;
    RadioSettings settings;
    AnnouncementSchedule schedule{settings};
};

}  // namespace

// The time and the headlines count alike: due when the count reaches or has
// passed the threshold (lowered meanwhile), then from 0 again; 0 or less
// means never, and the count stops at 16 bits.
TEST_F(AnnouncementScheduleTest, CountsComeDueAtTheirThreshold)
{
    struct Case {
        const char* what;
        std::int16_t threshold;
        int songs;
        std::vector<int> dueAt;  // 1-based song numbers
        std::int16_t countAfter;
        std::optional<std::int16_t> loweredTo = std::nullopt;  // after song 10
    };
    const Case cases[] = {
        {"every fourth", 4, 9, {4, 8}, 1},
        {"every song", 1, 3, {1, 2, 3}, 0},
        {"never", 0, 40, {}, 40},
        {"never, below zero", -3, 5, {}, 5},
        {"lowered below the count", 100, 13, {11}, 2, 4},
        {"lowered to just above the count", 100, 13, {12}, 1, 12},
        {"never, past 16 bits", 0, 40000, {}, AnnouncementSchedule::kMaxCount},
    };
    for (const bool news : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (news ? ", headlines" : ", time"));
            settings.ManyTime = news ? std::int16_t{1000} : c.threshold;
            settings.ManyNews = news ? c.threshold : std::int16_t{1000};
            AnnouncementSchedule fresh(settings);
            std::vector<int> dueAt;
            for (int song = 1; song <= c.songs; ++song) {
                fresh.countSong();
                if (news ? fresh.NewsDue() : fresh.TimeDue()) {
                    dueAt.push_back(song);
                }
                fresh.clearDue();
                if (song == 10 && c.loweredTo) {
                    (news ? settings.ManyNews : settings.ManyTime) = *c.loweredTo;
                }
            }
            EXPECT_EQ(dueAt, c.dueAt);
            EXPECT_EQ(news ? fresh.SongsSinceNews() : fresh.SongsSinceTime(), c.countAfter);
        }
    }
}

// What one song end brings, by switch and by the counts that came due.
TEST_F(AnnouncementScheduleTest, TheSwitchesDecideWhatADueCountBrings)
{
    struct Case {
        const char* what;
        bool nowTime, nowNews;
        std::int16_t manyTime, manyNews;
        bool time, news, back;
    };
    const Case cases[] = {
        {"time due", true, false, 1, 15, true, false, true},
        {"both due", true, true, 1, 1, true, true, true},
        {"news due, time on", true, true, 4, 1, false, true, true},
        // Nothing is announced, yet the music is welcomed back.
        {"time due, only news on", false, true, 1, 15, false, false, true},
        {"due, both off", false, false, 1, 1, false, false, false},
        {"nothing due", true, true, 4, 15, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings.NowTime = c.nowTime;
        settings.NowNews = c.nowNews;
        settings.ManyTime = c.manyTime;
        settings.ManyNews = c.manyNews;
        AnnouncementSchedule fresh(settings);
        fresh.countSong();
        EXPECT_EQ(fresh.timeToAnnounce(), c.time);
        EXPECT_EQ(fresh.newsToAnnounce(), c.news);
        EXPECT_EQ(fresh.backToTheMusicDue(), c.back);
        fresh.clearDue();
        EXPECT_FALSE(fresh.backToTheMusicDue());
    }
}

// The look-ahead that lets a song follow on without a gap must agree with
// what the song end then brings, whatever the settings.
TEST_F(AnnouncementScheduleTest, TheLookAheadForeseesEveryWordBetweenSongs)
{
    for (const bool loops : {false, true}) {
        for (const int switches : {0, 1, 2, 3}) {
            for (const std::int16_t manyTime : {0, 1, 3}) {
                for (const std::int16_t manyNews : {0, 2, 5}) {
                    settings.Loops = loops;
                    settings.NowTime = (switches & 1) != 0;
                    settings.NowNews = (switches & 2) != 0;
                    settings.ManyTime = manyTime;
                    settings.ManyNews = manyNews;
                    AnnouncementSchedule fresh(settings);
                    for (int song = 1; song <= 12; ++song) {
                        SCOPED_TRACE(testing::Message() << loops << switches << manyTime << manyNews
                                                        << " song " << song);
                        const bool foreseen = fresh.wordsAtNextEnd();
                        // The sequencer counts with Loops on only.
                        if (loops) {
                            fresh.countSong();
                        }
                        ASSERT_EQ(foreseen, loops && fresh.backToTheMusicDue());
                        fresh.clearDue();
                        if (song == 6) {
                            settings.ManyTime = 1;  // lowered while counting
                        }
                    }
                }
            }
        }
    }
}
