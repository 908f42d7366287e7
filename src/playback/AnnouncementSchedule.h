// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <limits>

class RadioSettings;

// When the announcer speaks between two songs. Every song heard to its end
// (with Loops on) counts toward the time and toward the headlines; a count that
// reaches or has passed its threshold (ManyTime, ManyNews, which may have been
// lowered meanwhile) makes that announcement due and starts over, and a
// threshold of 0 means never. The counts are 16-bit and stop at their largest
// value. A due announcement is said when its switch (NowTime, NowNews) is on;
// "And now,  back to the music." follows whenever either count came due and
// either switch is on. GUI thread only.
class AnnouncementSchedule {
public:
    static constexpr std::int16_t kMaxCount = std::numeric_limits<std::int16_t>::max();

    explicit AnnouncementSchedule(const RadioSettings& settings);

    // A song was heard to its end.
    void countSong();
    // What the song end just counted brings.
    bool timeToAnnounce() const;
    bool newsToAnnounce() const;
    bool backToTheMusicDue() const;
    // The song end has been handled, or will not be.
    void clearDue() { timeDue_ = newsDue_ = false; }

    // Asked while a song plays: whether its end will bring words before the
    // next song (an announcement, or at least the way back to the music).
    bool wordsAtNextEnd() const;

    std::int16_t SongsSinceTime() const { return songsSinceTime_; }
    std::int16_t SongsSinceNews() const { return songsSinceNews_; }
    bool TimeDue() const { return timeDue_; }
    bool NewsDue() const { return newsDue_; }

private:
    const RadioSettings& settings_;
    std::int16_t songsSinceTime_ = 0;
    std::int16_t songsSinceNews_ = 0;
    bool timeDue_ = false;
    bool newsDue_ = false;
};
