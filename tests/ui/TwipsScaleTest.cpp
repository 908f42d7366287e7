// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TwipsScale.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

TEST(TwipsScale, FifteenTwipsPerPixelGivesTheUsualSizes)
{
    const TwipsScale scale(15.0, 15.0);
    EXPECT_EQ(scale.size(7545, 4365), QSize(503, 291));
    EXPECT_EQ(scale.rect(990, 450, 2655, 285), QRect(66, 30, 177, 19));
    EXPECT_EQ(scale.size(255, 45), QSize(17, 3));
}

TEST(TwipsScale, EachValueRoundsHalfToEvenOnItsOwn)
{
    // 120 DPI: 12 twips per pixel. 4050 / 12 = 337.5, 30 / 12 = 2.5,
    // 3165 / 12 = 263.75, 90 / 12 = 7.5.
    const TwipsScale scale(12.0, 12.0);
    EXPECT_EQ(scale.x(4050), 338);
    EXPECT_EQ(scale.x(30), 2);
    EXPECT_EQ(scale.y(3165), 264);
    EXPECT_EQ(scale.y(90), 8);
    EXPECT_EQ(scale.rect(30, 90, 4050, 3165), QRect(2, 8, 338, 264));
}

TEST(TwipsScale, FactorsComeFromTheScreensLogicalDpi)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    QWidget widget;
    const TwipsScale scale = TwipsScale::forWidget(&widget);
    EXPECT_DOUBLE_EQ(scale.perPixelX(), 1440.0 / screen->logicalDotsPerInchX());
    EXPECT_DOUBLE_EQ(scale.perPixelY(), 1440.0 / screen->logicalDotsPerInchY());
    const TwipsScale fallback(0.0, -1.0);
    EXPECT_DOUBLE_EQ(fallback.perPixelX(), 15.0);
    EXPECT_DOUBLE_EQ(fallback.perPixelY(), 15.0);
}
