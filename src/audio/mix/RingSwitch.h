// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/mix/Mixer.h"

#include <cstdint>
#include <optional>

// The decode thread's side of the mixer's switch between the two music
// rings: selects the audible ring, arms and disarms the follow-on, and
// notices when the output thread has taken one. Decode thread only.
class RingSwitch {
public:
    explicit RingSwitch(Mixer& mixer) : mixer_(mixer) {}

    // The switch as it is now; `taken` is set when a follow-on was taken
    // since the last look (the ring that plays now is then state.audible).
    Mixer::Switch look(bool* taken = nullptr);
    int audible() { return look().audible; }
    void select(int ring);
    void disarm();
    // Arms the other ring to follow in `mode` (again, if the mode changed).
    void arm(FollowOn mode);

private:
    Mixer& mixer_;
    std::uint32_t takesSeen_ = 0;
    bool takenUnseen_ = false;
};
