// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/FollowOn.h"
#include "audio/PlayerFrame.h"

#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <limits>

class PlayerEvents;

// The player library as the program drives it: one song open at a time, a
// frame is what player_frame says (1/44,100 s). Every method is called on the GUI thread
// only and returns at once; nothing waits for a file. A song's file is opened
// on a worker, so an open may finish after OpenMPEG has returned: its length
// and any failure are then told by events().
class MpegPlayer {
public:
    // GetTotalframes while the open song's length is still being found; as
    // the last frame of a range, "to the end of the song".
    static constexpr std::int32_t kLengthPending = std::numeric_limits<std::int32_t>::max();

    virtual ~MpegPlayer() = default;

    // Opens a song. The empty text means it was taken: opened already (a song
    // loaded ahead), or being opened, with songOpened or songFailed to follow.
    // Any other text says what is wrong at once. The window handle and device
    // type are accepted and unused.
    virtual QString OpenMPEG(quintptr windowHandle, const QString& path,
                             const QString& deviceType) = 0;
    // Number of the last frame of the open song (its length in frames);
    // kLengthPending while that is being found, 0 when nothing is open.
    virtual std::int32_t GetTotalframes() = 0;
    // Starts playing the frame range and returns at once; a last frame at or
    // beyond the song's length plays to its end. The text is ignored by every
    // caller.
    virtual QString PlayMPEG(std::int32_t firstFrame, std::int32_t lastFrame) = 0;
    // Progress of the current range in percent.
    virtual std::int32_t GetPercent() = 0;
    // Where the song stands, in ms from its start, to the millisecond: the
    // range's first frame until the range begins to sound, its last at the
    // end; 0 while nothing plays.
    virtual std::int32_t GetPositionMs() = 0;
    // 1 once the range has been played to its end (at once for a song that
    // could not be opened), 0 before.
    virtual std::int16_t AreMPEGAtEnd() = 0;
    virtual void PauseMPEG() = 0;
    virtual void ResumeMPEG() = 0;
    // Stops playback; the song stays open and a later PlayMPEG plays again.
    virtual void StopMPEG() = 0;
    virtual void CloseMPEG() = 0;
    // Auto-repeat keeps an ended song open; it never restarts it by itself.
    virtual void SetAutoRepeat(bool on) = 0;

    // What happens, as it happens.
    virtual PlayerEvents& events() = 0;
    // Opens and decodes the song that comes next from `firstFrame`, so that
    // its OpenMPEG and PlayMPEG(firstFrame, last) start it at once. With a
    // follow-on it starts by itself from there the moment the playing range
    // ends, without a gap; the caller's CloseMPEG, OpenMPEG(path) and start
    // that come for it after that end then find it playing and let it play
    // on. The start is PlayMPEG(firstFrame, last), or, for a flush start,
    // PlayMPEG(10, last), StopMPEG, PlayMPEG(firstFrame, last) in one go: a
    // play and stop of the song loaded ahead that a play of it follows
    // before the caller returns to the event loop are not heard. A caller
    // that, at that end, does not move on to this song at once stops it
    // (StopMPEG). Calling it again with the same path changes only the
    // follow-on and the first frame.
    virtual void preloadNext(const QString& path, FollowOn followOn, std::int32_t firstFrame) = 0;
    // How long a song that follows on starts under the end of the one
    // before, in ms (0 to 10000; 0, one right after the other). The next
    // track of the same album follows without an overlap all the same.
    virtual void setCrossfade(std::int32_t ms) = 0;
};
