// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/mix/RingSwitch.h"

Mixer::Switch RingSwitch::look(bool* taken)
{
    const Mixer::Switch state = mixer_.switchState();
    if (state.takes != takesSeen_) {
        takesSeen_ = state.takes;
        takenUnseen_ = true;
    }
    if (taken != nullptr) {
        *taken = takenUnseen_;
        takenUnseen_ = false;
    }
    return state;
}

void RingSwitch::select(int ring)
{
    for (;;) {
        const Mixer::Switch state = look();
        if ((state.audible == ring && !state.armed) || mixer_.select(state, ring)) {
            return;
        }
    }
}

void RingSwitch::disarm()
{
    for (;;) {
        const Mixer::Switch state = look();
        if (!state.armed || mixer_.select(state, state.audible)) {
            return;
        }
    }
}

void RingSwitch::arm(FollowOn mode, std::uint16_t overlapMs, crossfade::Blend blend)
{
    const Mixer::Switch state = look();
    if (!state.armed || state.mode != mode || state.overlapMs != overlapMs ||
        state.blend != blend) {
        // Lost to the output thread: the next look shows why.
        mixer_.arm(state, mode, overlapMs, blend);
    }
}
