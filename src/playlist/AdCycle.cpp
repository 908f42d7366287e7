// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/AdCycle.h"

int AdCycle::tick()
{
    if (counter_ > 1) {
        counter_ = 0;
    }
    return counter_++;
}
