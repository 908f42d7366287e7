// SPDX-License-Identifier: GPL-3.0-or-later
#include "broadcast/RetryPause.h"

#include <algorithm>

std::chrono::milliseconds RetryPause::after(BroadcastFailure::Kind kind)
{
    if (kind == BroadcastFailure::Kind::Refused) {
        return kRefused;
    }
    const std::chrono::milliseconds pause = next_;
    next_ = std::min(next_ * 2, kLongest);
    return pause;
}
