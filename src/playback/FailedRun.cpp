// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/FailedRun.h"

#include <algorithm>
#include <limits>

bool FailedRun::add(std::int32_t index, std::int32_t songs)
{
    failed_.insert(index);
    const std::int32_t all = std::max<std::int32_t>(songs, 1);
    if (failed_.size() < all) {
        return false;
    }
    failed_.clear();
    return true;
}
