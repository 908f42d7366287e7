// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where the mixed output goes. A device pulls from the mixer on its own
// thread once started.
class AudioDevice {
public:
    virtual ~AudioDevice() = default;

    // Called regularly on the decode thread: a device that was lost is
    // reopened here.
    virtual void maintain() {}
    // Decode thread: with nothing to be heard the output stops taking blocks
    // from the mixer; resumed, it takes the next within one block.
    virtual void setPaused(bool paused) { (void)paused; }
    // Decode thread, while paused: nothing has been heard for a while, so the
    // output lets go of what keeps it busy (the sound card, its thread) until
    // the next setPaused(false), which brings it back before it returns.
    virtual void sleep() {}
    // Decode thread, as it ends: lets go of what sleep() holds that only
    // this thread may release; the output stays paused.
    virtual void leaveDecodeThread() {}
    // What is playing the sound, e.g. "pulseaudio", "dummy", "silent clock".
    virtual QString name() const = 0;
};
