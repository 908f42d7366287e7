// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/RandomSource.h"

#include <chrono>

namespace {
std::uint64_t steadyNanos()
{
    return static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
}
}  // namespace

RandomSource::RandomSource() : clock_(steadyNanos)
{
    seedFromClock();
}

void RandomSource::seedFromClock()
{
    seed(clock_());
}

void RandomSource::seed(std::uint64_t value)
{
    engine_.seed(value);
    dist_.reset();
}

double RandomSource::next()
{
    if (draws_) {
        return draws_();
    }
    double r = dist_(engine_);
    // uniform_real_distribution may return its upper bound through rounding.
    return r < 1.0 ? r : 0.0;
}

void RandomSource::setClock(std::function<std::uint64_t()> clock)
{
    clock_ = std::move(clock);
}
