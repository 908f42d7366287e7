// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/LoadedSong.h"
#include "audio/SongId.h"
#include "audio/loudness/GainStage.h"
#include "audio/loudness/LoudnessMeter.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class Mixer;
class PcmConverter;
class PcmRing;

// One song on the decode thread, writing a range of itself into its own
// music ring: decoded, converted to the output format, brought to its
// loudness. The engine has two, so the next song can wait decoded while
// this one plays. Decode thread only.
class SongSlot {
public:
    enum class State { Empty, Loading, Ready, Failed };

    SongSlot(int index, Mixer& mixer);
    ~SongSlot();
    SongSlot(const SongSlot&) = delete;
    SongSlot& operator=(const SongSlot&) = delete;

    int index() const { return index_; }
    SongId id() const { return id_; }
    State state() const { return state_; }
    const QString& path() const { return path_; }
    PcmRing& ring();

    // Drops the song and whatever of it is queued.
    void clear();
    void beginLoading(SongId id, const QString& path);
    // The loader's answer; false when the song cannot be played.
    bool install(LoadedSong song);
    const QString& error() const { return error_; }
    // The song's length in its own frames, from where its sound starts to
    // where it ends: silence before and after is no part of it.
    std::int64_t length() const;
    int rate() const;
    const AlbumPlace& album() const { return album_; }
    // Where the sound starts and ends and how loud its edges are, when known.
    const std::optional<SoundSpan>& span() const { return span_; }
    // The song plays from its very first frame (it follows the track before
    // it on its album). Before its first range.
    void keepHead();
    // The running range, when it runs to the end of the sound, goes on to
    // the song's very last frame (the album's next track follows). False
    // when that end has already been written too close to the output.
    bool keepTail();

    // Starts writing frames [first, end) of the song's sound (0 is where its
    // sound starts) from the ring's current end; false when there is nothing
    // to play (the range ends at once).
    bool startRange(std::int64_t first, std::int64_t end);
    // Stops writing and drops what is queued.
    void stopRange();
    // Writes as much as the ring takes; true when anything was written.
    bool fill();

    bool producing() const { return producing_; }
    bool finished() const { return finished_; }
    // The range runs from the song's frame `first` (counted, as ranges are,
    // from where its sound starts) to its end, and its ring holds it from
    // there.
    bool runsToEndFrom(std::int64_t first) const { return toEnd_ && first_ == soundStart_ + first; }
    bool wholeSongFromStart() const { return runsToEndFrom(0); }
    std::uint64_t rangeStart() const { return rangeStart_; }
    std::uint64_t expectedFrames() const { return expected_; }
    // A measurement finished while playing, for the cache.
    std::optional<std::pair<LoudnessCache::Key, SongLoudness>> takeMeasurement();

private:
    bool step();
    bool decodeStep();
    std::size_t takeConverted(std::size_t frames, const std::int16_t** out);
    void finishRange();
    bool reopenEnd();
    void measureAsItPlays(const std::int16_t* pcm, std::size_t frames);
    void startGain();

    int index_;
    Mixer& mixer_;
    State state_ = State::Empty;
    SongId id_;
    QString path_;
    QString error_;
    std::unique_ptr<Decoder> decoder_;
    std::unique_ptr<PcmConverter> converter_;
    AlbumPlace album_;
    std::optional<SoundSpan> span_;
    // The decoder frames the song's sound covers.
    std::int64_t soundStart_ = 0;
    std::int64_t soundEnd_ = 0;
    std::optional<SongLoudness> loudness_;
    std::int64_t measuredFrames_ = 0;
    std::optional<LoudnessCache::Key> cacheKey_;
    GainStage stage_;
    LoudnessMeter meter_;
    bool measuring_ = false;
    bool measurementDone_ = false;

    // The song is in the output format: decoded_ goes out as it is.
    bool asDecoded_ = false;
    std::size_t heldFrames_ = 0;  // of decoded_, when asDecoded_
    std::size_t heldTaken_ = 0;
    std::vector<std::int16_t> decoded_;
    std::vector<std::int16_t> converted_;
    std::vector<std::int16_t> levelled_;
    bool producing_ = false;
    bool finished_ = false;
    bool inputDone_ = false;
    bool reachedEnd_ = false;
    bool toEnd_ = false;  // the range runs to the song's end (where its sound ends)
    std::int64_t first_ = 0;
    std::int64_t remaining_ = 0;
    std::uint64_t rangeStart_ = 0;
    std::uint64_t expected_ = 0;
};
