// SPDX-License-Identifier: GPL-3.0-or-later
#include "broadcast/BroadcastStatus.h"
#include "broadcast/RetryPause.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
using namespace std::chrono_literals;
using Kind = BroadcastFailure::Kind;

struct Run {
    const char* name;
    std::vector<Kind> failures;
    std::vector<std::chrono::milliseconds> pauses;
};

class RetryPauses : public testing::TestWithParam<Run> {};

TEST_P(RetryPauses, GrowFromOneSecondToThirty)
{
    RetryPause retry;
    std::vector<std::chrono::milliseconds> pauses;
    for (const Kind kind : GetParam().failures) {
        pauses.push_back(retry.after(kind));
    }
    EXPECT_EQ(pauses, GetParam().pauses);
}

INSTANTIATE_TEST_SUITE_P(
    RetryPause, RetryPauses,
    testing::Values(
        Run{"ServerAway",
            {Kind::Unreachable, Kind::Unreachable, Kind::Unreachable, Kind::Unreachable,
             Kind::Unreachable, Kind::Unreachable, Kind::Unreachable},
            {1s, 2s, 4s, 8s, 16s, 30s, 30s}},
        Run{"LostThenAway", {Kind::Lost, Kind::Stalled, Kind::Unreachable}, {1s, 2s, 4s}},
        // A refused login waits long each time and leaves the growing pause be.
        Run{"Refused", {Kind::Refused, Kind::Refused, Kind::Unreachable}, {60s, 60s, 1s}}),
    [](const testing::TestParamInfo<Run>& info) { return std::string(info.param.name); });

TEST(RetryPause, StartsAgainAfterGoingOnAir)
{
    RetryPause retry;
    retry.after(Kind::Unreachable);
    retry.after(Kind::Unreachable);
    retry.reset();
    EXPECT_EQ(retry.after(Kind::Lost), 1s);
}

TEST(BroadcastStatus, TextsForTheOptionsWindow)
{
    using State = BroadcastStatus::State;
    const std::vector<std::pair<BroadcastStatus, QString>> cases{
        {{State::Off, {}}, QStringLiteral("off")},
        {{State::Connecting, {}}, QStringLiteral("connecting")},
        {{State::OnAir, {}}, QStringLiteral("on air")},
        {{State::Retrying, QStringLiteral("cannot reach h:1")},
         QStringLiteral("retrying: cannot reach h:1")}};
    for (const auto& [status, text] : cases) {
        EXPECT_EQ(status.text(), text);
    }
}
}  // namespace
