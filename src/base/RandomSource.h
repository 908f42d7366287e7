// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <random>

// The program-wide uniform generator of values in [0, 1). It is seeded from
// the clock when a playlist starts, at every song end and when the options are
// saved; tests replace the clock to make draws repeatable.
class RandomSource {
public:
    RandomSource();

    void seedFromClock();
    void seed(std::uint64_t value);
    // A value in [0, 1).
    double next();

    // Replaces the clock that seedFromClock() reads.
    void setClock(std::function<std::uint64_t()> clock);
    // Replaces the draws themselves (tests that need exact values).
    void setDraws(std::function<double()> draws) { draws_ = std::move(draws); }

private:
    std::mt19937_64 engine_;
    std::uniform_real_distribution<double> dist_{0.0, 1.0};
    std::function<std::uint64_t()> clock_;
    std::function<double()> draws_;
};
