#pragma once

#include "audio/MpegPlayer.h"

#include <cstdint>
#include <optional>

class AcceptedPlaylist;
class RadioSettings;
class RandomSource;

// The song after the one now playing: which it is (in order the next entry;
// shuffled, its pick is drawn as the song starts and kept for its end), and
// whether it may follow on without a gap: only when nothing will be said
// between the two and it starts at its beginning. Hands it to the player
// ahead. GUI thread only.
class NextSongPlanner {
public:
    NextSongPlanner(RadioSettings& settings, AcceptedPlaylist& playlist, RandomSource& random,
                    MpegPlayer& player);

    // A song has started (or the settings changed while it plays): its
    // successor goes to the player. The counts are the announcement counters
    // before this song's end counts it.
    void loadAhead(bool currentFailed, std::int16_t songsSinceTime, std::int16_t songsSinceNews,
                   std::int32_t lastPick);
    // At a song end, shuffled: the pick drawn early when it is still good
    // (differs from the last and lies in the list), else a new one; no value
    // when not shuffling.
    std::optional<std::int32_t> takePick(std::int32_t lastPick);
    void forgetPick() { pick_.reset(); }

    // At a song end: when words come first after all, a song that followed
    // on is stopped, to start again when the program moves on.
    void songEnded(bool wordsFirst);
    void dropFollowOn() { followOnAsked_ = false; }

private:
    bool shuffling() const;
    std::int32_t draw(std::int32_t lastPick) const;
    FollowOn followOn(bool currentFailed, std::int16_t songsSinceTime,
                      std::int16_t songsSinceNews) const;

    RadioSettings& settings_;
    AcceptedPlaylist& playlist_;
    RandomSource& random_;
    MpegPlayer& player_;
    std::optional<std::int32_t> pick_;
    bool followOnAsked_ = false;
};
