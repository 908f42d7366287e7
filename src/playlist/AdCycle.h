// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// Which of the two advertisement images comes to the front at each tick of
// the six-second timer: 0, 1, 0, 1, ... from the first tick on.
class AdCycle {
public:
    int tick();

private:
    std::int16_t counter_ = 0;
};
