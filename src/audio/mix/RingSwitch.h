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
    // Arms the other ring to follow in `mode`, overlapping the end by
    // `overlapMs` in `blend` (again, if any of them changed).
    void arm(FollowOn mode, std::uint16_t overlapMs = 0,
             crossfade::Blend blend = crossfade::Blend::EqualPower);

private:
    Mixer& mixer_;
    std::uint32_t takesSeen_ = 0;
    bool takenUnseen_ = false;
};
