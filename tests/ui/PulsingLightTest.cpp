// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PulsingLight.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTimer>
#include <vector>

namespace {

// The label drawn over the others is the last child widget of the light.
int topmostLabel(const PulsingLight& light)
{
    const QObjectList& children = light.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        for (int i = 0; i < PulsingLight::kLabelCount; ++i) {
            if (*it == light.label(i)) {
                return i;
            }
        }
    }
    return -1;
}

}  // namespace

TEST(PulsingLight, FrontLabelRunsTheTwelveTickCycle)
{
    PulsingLight light;
    light.timer()->stop();
    const std::vector<int> cycle = {1, 2, 3, 4, 5, 4, 3, 2, 1, 0, 0, 0};
    std::vector<int> fronts;
    std::vector<int> drawnOnTop;
    for (int i = 0; i < 36; ++i) {
        light.tick();
        fronts.push_back(light.frontIndex());
        drawnOnTop.push_back(topmostLabel(light));
    }
    std::vector<int> expected;
    for (int round = 0; round < 3; ++round) {
        expected.insert(expected.end(), cycle.begin(), cycle.end());
    }
    EXPECT_EQ(fronts, expected);
    EXPECT_EQ(drawnOnTop, expected);
}

TEST(PulsingLight, SixStackedLabelsInTheRedsWithA90msTimer)
{
    PulsingLight light;
    light.resize(17, 3);
    light.show();
    const std::vector<QColor> reds = {{64, 0, 0},  {128, 0, 0},     {192, 0, 0},
                                      {255, 0, 0}, {255, 128, 128}, {255, 192, 192}};
    for (int i = 0; i < PulsingLight::kLabelCount; ++i) {
        const QLabel* label = light.findChild<QLabel*>(QStringLiteral("Fades_%1").arg(i));
        ASSERT_NE(label, nullptr) << i;
        EXPECT_EQ(label->palette().color(QPalette::Window), reds[static_cast<std::size_t>(i)]);
        EXPECT_TRUE(label->autoFillBackground());
        EXPECT_EQ(label->geometry(), QRect(0, 0, 17, 3));
    }
    const QTimer* timer = light.findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 90);
}
