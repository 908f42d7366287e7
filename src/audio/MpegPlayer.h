#pragma once

#include <QString>
#include <QtGlobal>
#include <cstdint>

// The player library as the program drives it: one song open at a time, a
// frame is one millisecond of audio. Every method is called on the GUI thread
// only and returns at once; the state queries read atomics.
class MpegPlayer {
public:
    virtual ~MpegPlayer() = default;

    // Opens a song. The empty text means success; any other text says what
    // went wrong. The window handle and device type are accepted and unused.
    virtual QString OpenMPEG(quintptr windowHandle, const QString& path,
                             const QString& deviceType) = 0;
    // Number of the last frame of the open song (its length in ms).
    virtual std::int32_t GetTotalframes() = 0;
    // Starts playing the frame range and returns at once. The text is ignored
    // by every caller.
    virtual QString PlayMPEG(std::int32_t firstFrame, std::int32_t lastFrame) = 0;
    // Progress of the current range in percent.
    virtual std::int32_t GetPercent() = 0;
    // Where the song stands, in ms from its start, to the millisecond: the
    // range's first frame until the range begins to sound, its last at the
    // end; 0 while nothing plays.
    virtual std::int32_t GetPositionMs() = 0;
    // 1 once the range has been played to its end, 0 before.
    virtual std::int16_t AreMPEGAtEnd() = 0;
    virtual void PauseMPEG() = 0;
    virtual void ResumeMPEG() = 0;
    // Stops playback; the song stays open and a later PlayMPEG plays again.
    virtual void StopMPEG() = 0;
    virtual void CloseMPEG() = 0;
    // Auto-repeat keeps an ended song open; it never restarts it by itself.
    virtual void SetAutoRepeat(bool on) = 0;
};
