// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/NextSongPlanner.h"

#include "base/RandomSource.h"
#include "playback/AcceptedPlaylist.h"
#include "playback/AnnouncementSchedule.h"
#include "settings/RadioSettings.h"

#include <algorithm>
#include <cmath>

NextSongPlanner::NextSongPlanner(const RadioSettings& settings, const AcceptedPlaylist& playlist,
                                 RandomSource& random, const AnnouncementSchedule& schedule)
    : settings_(settings), playlist_(playlist), random_(random), schedule_(schedule)
{
}

bool NextSongPlanner::shuffling() const
{
    return settings_.Rands && playlist_.SongCount() > 1;
}

std::int32_t NextSongPlanner::draw() const
{
    const std::int32_t songs = playlist_.SongCount();
    std::int32_t pick = 0;
    do {
        // A draw just below 1 may round up to songs + 1 for a long list.
        pick = std::min(songs, static_cast<std::int32_t>(std::floor(random_.next() * songs + 1)));
    } while (pick == lastPick_);
    return pick;
}

std::optional<NextSongPlanner::Ahead> NextSongPlanner::planAhead(bool currentPlays)
{
    followOnAsked_ = false;
    std::int64_t index = playlist_.SongIndex();
    if (shuffling()) {
        if (!pick_) {
            pick_ = draw();
        }
        index = *pick_;
    }
    // The end advances one past the pick, from the last song to the first.
    index = index + 1 > playlist_.SongCount() ? 1 : index + 1;
    const std::optional<QString> next = playlist_.song(index);
    if (!next || *next == QLatin1String("error")) {
        return std::nullopt;
    }
    const FollowOn mode = followOn(currentPlays);
    followOnAsked_ = mode != FollowOn::No;
    return Ahead{*next, mode,
                 settings_.FlushBack ? std::max<std::int32_t>(settings_.FlushCount, 1) : 1};
}

bool NextSongPlanner::stopFollowerAtEnd(bool wordsFirst)
{
    const bool stop = followOnAsked_ && wordsFirst;
    followOnAsked_ = false;
    return stop;
}

std::optional<std::int32_t> NextSongPlanner::takePick()
{
    const std::optional<std::int32_t> early = pick_;
    pick_.reset();
    if (!shuffling()) {
        return std::nullopt;
    }
    const bool good = early && *early != lastPick_ && *early <= playlist_.SongCount();
    lastPick_ = good ? *early : draw();
    return lastPick_;
}

// How the end of the song now playing will go, as far as it is known now.
FollowOn NextSongPlanner::followOn(bool currentPlays) const
{
    if (!currentPlays || schedule_.wordsAtNextEnd()) {
        return FollowOn::No;
    }
    if (settings_.Loops) {
        return FollowOn::Always;  // the end stops the voice and goes on
    }
    return settings_.Slow ? FollowOn::Always : FollowOn::WhenVoiceIdle;
}
