// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "broadcast/BroadcastFailure.h"

#include <chrono>

// The pause before the next try to reach the server: 1 s after the first
// failure, doubling up to 30 s while they go on; a refused login waits the
// slow pause every time. A connection that went on air starts again at 1 s.
class RetryPause {
public:
    static constexpr std::chrono::milliseconds kFirst{1000};
    static constexpr std::chrono::milliseconds kLongest{30000};
    static constexpr std::chrono::milliseconds kRefused{60000};

    std::chrono::milliseconds after(BroadcastFailure::Kind kind);
    void reset() { next_ = kFirst; }

private:
    std::chrono::milliseconds next_ = kFirst;
};
