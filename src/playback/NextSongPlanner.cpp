#include "playback/NextSongPlanner.h"

#include "base/RandomSource.h"
#include "playback/AcceptedPlaylist.h"
#include "settings/RadioSettings.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr std::int16_t kMaxIndex = std::numeric_limits<std::int16_t>::max();

// The counter reaches its threshold with the coming song end.
bool dueAtNextEnd(std::int16_t since, std::int16_t threshold)
{
    return threshold > 0 && std::min<std::int32_t>(since + 1, kMaxIndex) >= threshold;
}
}  // namespace

NextSongPlanner::NextSongPlanner(RadioSettings& settings, AcceptedPlaylist& playlist,
                                 RandomSource& random, MpegPlayer& player)
    : settings_(settings), playlist_(playlist), random_(random), player_(player)
{
}

bool NextSongPlanner::shuffling() const
{
    return settings_.Rands && playlist_.SongCount() > 1;
}

std::int32_t NextSongPlanner::draw(std::int32_t lastPick) const
{
    const std::int32_t songs = playlist_.SongCount();
    std::int32_t pick = 0;
    do {
        // A draw just below 1 may round up to songs + 1 for a long list.
        pick = std::min(songs, static_cast<std::int32_t>(std::floor(random_.next() * songs + 1)));
    } while (pick == lastPick);
    return pick;
}

void NextSongPlanner::loadAhead(bool currentFailed, std::int16_t songsSinceTime,
                                std::int16_t songsSinceNews, std::int32_t lastPick)
{
    followOnAsked_ = false;
    std::int64_t index = playlist_.SongIndex();
    if (shuffling()) {
        if (!pick_) {
            pick_ = draw(lastPick);
        }
        index = *pick_;
    }
    // The end advances one past the pick, from the last song to the first.
    index = index + 1 > playlist_.SongCount() ? 1 : index + 1;
    const std::optional<QString> next = playlist_.song(index);
    if (!next || *next == QLatin1String("error")) {
        return;
    }
    const FollowOn mode = followOn(currentFailed, songsSinceTime, songsSinceNews);
    followOnAsked_ = mode != FollowOn::No;
    player_.preloadNext(*next, mode);
}

void NextSongPlanner::songEnded(bool wordsFirst)
{
    if (followOnAsked_ && wordsFirst) {
        player_.StopMPEG();
    }
    followOnAsked_ = false;
}

std::optional<std::int32_t> NextSongPlanner::takePick(std::int32_t lastPick)
{
    const std::optional<std::int32_t> early = pick_;
    pick_.reset();
    if (!shuffling()) {
        return std::nullopt;
    }
    const bool good = early && *early != lastPick && *early <= playlist_.SongCount();
    return good ? *early : draw(lastPick);
}

// How the end of the song now playing will go, as far as it is known now.
FollowOn NextSongPlanner::followOn(bool currentFailed, std::int16_t songsSinceTime,
                                   std::int16_t songsSinceNews) const
{
    if (settings_.FlushBack || currentFailed) {
        return FollowOn::No;
    }
    if (settings_.Loops) {
        // A due count with either switch on means words between the songs:
        // an announcement, or at least the way back to the music.
        const bool due = dueAtNextEnd(songsSinceTime, settings_.ManyTime) ||
                         dueAtNextEnd(songsSinceNews, settings_.ManyNews);
        if (due && (settings_.NowTime || settings_.NowNews)) {
            return FollowOn::No;
        }
        return FollowOn::Always;  // the end stops the voice and goes on
    }
    return settings_.Slow ? FollowOn::Always : FollowOn::WhenVoiceIdle;
}
