// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/mix/Crossfade.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace crossfade {

Blend choose(double tailLu, double headLu)
{
    if (tailLu <= kQuietEdgeLu) {
        return Blend::FadingEnd;
    }
    return headLu <= kQuietEdgeLu ? Blend::QuietStart : Blend::EqualPower;
}

std::int32_t overlapMs(Blend blend, std::int32_t askedMs)
{
    const std::int32_t asked = std::clamp(askedMs, 0, kMaxOverlapMs);
    return blend == Blend::EqualPower ? std::min(asked, kLoudOverlapMs) : asked;
}

Gains gains(Blend blend, double t)
{
    const double x = std::clamp(t, 0.0, 1.0) * std::numbers::pi / 2.0;
    const auto down = static_cast<float>(std::cos(x));
    switch (blend) {
        case Blend::EqualPower:
            return {down, static_cast<float>(std::sin(x))};
        case Blend::FadingEnd:
            // The ending is left as it fades; the start comes in over the
            // first quarter, while the ending is still near its full level.
            return {1.0F, static_cast<float>(std::sin(std::min(1.0, 4.0 * std::clamp(t, 0.0, 1.0)) *
                                                      std::numbers::pi / 2.0))};
        case Blend::QuietStart:
            return {down, 1.0F};
    }
    return {};
}

}  // namespace crossfade
