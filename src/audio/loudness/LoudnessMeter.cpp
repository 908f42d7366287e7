// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loudness/LoudnessMeter.h"

#include "audio/loudness/Loudness.h"

#include <ebur128.h>
#include <algorithm>
#include <cmath>

struct LoudnessMeter::State {
    explicit State(ebur128_state* s) : st(s) {}
    ~State() { ebur128_destroy(&st); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ebur128_state* st;
};

LoudnessMeter::LoudnessMeter(int rate, int channels) : rate_(rate), channels_(channels)
{
    create();
}

LoudnessMeter::~LoudnessMeter() = default;

bool LoudnessMeter::valid() const
{
    return state_ != nullptr;
}

void LoudnessMeter::create()
{
    state_.reset();
    if (rate_ < 1 || channels_ < 1) {
        return;
    }
    ebur128_state* st =
        ebur128_init(static_cast<unsigned>(channels_), static_cast<unsigned long>(rate_),
                     EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK);
    if (st == nullptr) {
        return;
    }
    state_ = std::make_unique<State>(st);
    if (channels_ == 1) {
        ebur128_set_channel(st, 0, EBUR128_DUAL_MONO);
    }
}

void LoudnessMeter::add(const std::int16_t* samples, std::size_t frames)
{
    if (!state_ || frames == 0) {
        return;
    }
    ebur128_add_frames_short(state_->st, samples, frames);
    frames_ += frames;
}

std::optional<double> LoudnessMeter::integratedLufs() const
{
    double lufs = 0.0;
    if (!state_ || ebur128_loudness_global(state_->st, &lufs) != EBUR128_SUCCESS ||
        !std::isfinite(lufs)) {
        return std::nullopt;
    }
    return lufs;
}

std::optional<double> LoudnessMeter::momentaryLufs() const
{
    double lufs = 0.0;
    if (!state_ || frames_ == 0 ||
        ebur128_loudness_momentary(state_->st, &lufs) != EBUR128_SUCCESS) {
        return std::nullopt;
    }
    // Digital silence is minus infinity: far under anything.
    return std::isfinite(lufs) ? lufs : -200.0;
}

double LoudnessMeter::samplePeakDb() const
{
    double peak = 0.0;
    for (int c = 0; state_ && c < channels_; ++c) {
        double channelPeak = 0.0;
        if (ebur128_sample_peak(state_->st, static_cast<unsigned>(c), &channelPeak) ==
            EBUR128_SUCCESS) {
            peak = std::max(peak, channelPeak);
        }
    }
    return loudness::toDb(peak);
}

void LoudnessMeter::reset()
{
    frames_ = 0;
    create();
}
