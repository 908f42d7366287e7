#include "playback/FailedRun.h"

#include <algorithm>
#include <limits>

bool FailedRun::add(std::int16_t index, std::int32_t songs)
{
    failed_.insert(index);
    const std::int32_t all =
        std::clamp<std::int32_t>(songs, 1, std::numeric_limits<std::int16_t>::max());
    if (failed_.size() < all) {
        return false;
    }
    failed_.clear();
    return true;
}
