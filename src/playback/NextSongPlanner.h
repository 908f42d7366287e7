// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/FollowOn.h"

#include <QString>
#include <cstdint>
#include <optional>

class AcceptedPlaylist;
class AnnouncementSchedule;
class RadioSettings;
class RandomSource;

// The song after the one now playing: which it is (in order the next entry;
// shuffled, its pick is drawn as the song starts and kept for its end), and
// whether it may follow on without a gap: only when nothing will be said
// between the two. It starts where every song starts: its first frame, or
// with FlushBack the flush start's second start. It decides; the sequencer
// hands the song to the player. GUI thread only.
class NextSongPlanner {
public:
    // The song to load ahead and how it follows the one now playing.
    struct Ahead {
        QString path;
        FollowOn followOn = FollowOn::No;
        std::int32_t firstFrame = 1;
    };

    NextSongPlanner(const RadioSettings& settings, const AcceptedPlaylist& playlist,
                    RandomSource& random, const AnnouncementSchedule& schedule);

    // A song has started (or the settings changed while it plays): the song
    // that follows it, if there is one to load. A song that cannot be played
    // lets nothing follow on.
    std::optional<Ahead> planAhead(bool currentPlays);
    // At a song end, shuffled: the pick drawn early when it is still good
    // (differs from the last and lies in the list), else a new one; it
    // becomes LastPick(). No value when not shuffling.
    std::optional<std::int32_t> takePick();
    void forgetPick() { pick_.reset(); }
    // The previous random pick, 0 before the first.
    std::int32_t LastPick() const { return lastPick_; }

    // At a song end: true when a song asked to follow on has to be stopped,
    // because words come first after all; it starts again when the program
    // moves on.
    bool stopFollowerAtEnd(bool wordsFirst);
    void dropFollowOn() { followOnAsked_ = false; }

private:
    bool shuffling() const;
    std::int32_t draw() const;
    FollowOn followOn(bool currentPlays) const;

    const RadioSettings& settings_;
    const AcceptedPlaylist& playlist_;
    RandomSource& random_;
    const AnnouncementSchedule& schedule_;
    std::optional<std::int32_t> pick_;
    std::int32_t lastPick_ = 0;
    bool followOnAsked_ = false;
};
