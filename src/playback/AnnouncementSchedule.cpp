// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/AnnouncementSchedule.h"

#include "settings/RadioSettings.h"

namespace {
constexpr std::int16_t kMaxCount = AnnouncementSchedule::kMaxCount;

std::int16_t counted(std::int16_t since)
{
    return since < kMaxCount ? static_cast<std::int16_t>(since + 1) : kMaxCount;
}

bool reached(std::int16_t count, std::int16_t threshold)
{
    return threshold > 0 && count >= threshold;
}

// Counts one song; true when that makes the announcement due.
bool countToward(std::int16_t& since, std::int16_t threshold)
{
    since = counted(since);
    if (!reached(since, threshold)) {
        return false;
    }
    since = 0;
    return true;
}
}  // namespace

AnnouncementSchedule::AnnouncementSchedule(const RadioSettings& settings) : settings_(settings) {}

void AnnouncementSchedule::countSong()
{
    // Due stays due until the song end is handled.
    timeDue_ = countToward(songsSinceTime_, settings_.ManyTime) || timeDue_;
    newsDue_ = countToward(songsSinceNews_, settings_.ManyNews) || newsDue_;
}

bool AnnouncementSchedule::timeToAnnounce() const
{
    return settings_.NowTime && timeDue_;
}

bool AnnouncementSchedule::newsToAnnounce() const
{
    return settings_.NowNews && newsDue_;
}

bool AnnouncementSchedule::backToTheMusicDue() const
{
    return (timeDue_ || newsDue_) && (settings_.NowTime || settings_.NowNews);
}

bool AnnouncementSchedule::wordsAtNextEnd() const
{
    if (!settings_.Loops || !(settings_.NowTime || settings_.NowNews)) {
        return false;
    }
    return reached(counted(songsSinceTime_), settings_.ManyTime) ||
           reached(counted(songsSinceNews_), settings_.ManyNews);
}
