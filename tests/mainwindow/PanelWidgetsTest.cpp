// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Gauge.h"
#include "ui/Panel.h"
#include "ui/PanelButton.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

TEST(Gauge, ShowsAPercentageKeptWithinZeroToAHundred)
{
    Gauge gauge;
    gauge.resize(100, 4);
    gauge.setPercent(40);
    EXPECT_EQ(gauge.percent(), 40);
    gauge.setPercent(250);
    EXPECT_EQ(gauge.percent(), 100);
    gauge.setPercent(-3);
    EXPECT_EQ(gauge.percent(), 0);

    gauge.setPercent(50);
    const QImage shown = gauge.grab().toImage();
    EXPECT_NE(shown.pixelColor(10, 2), shown.pixelColor(90, 2));
    EXPECT_EQ(shown.pixelColor(10, 2), shown.pixelColor(45, 2));
}

TEST(PanelButton, ReportsClicksWithItsIndex)
{
    PanelButton button(4);
    button.resize(30, 20);
    QSignalSpy clicks(&button, &PanelButton::indexClicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 4);
}

TEST(PanelButton, ShowsItsPictureOrElseItsCaption)
{
    PanelButton button(0);
    button.resize(60, 20);
    button.setText(QStringLiteral("Close"));
    const QImage captioned = button.grab().toImage();
    QPixmap picture(10, 10);
    picture.fill(Qt::red);
    button.setPicture(picture);
    const QImage pictured = button.grab().toImage();
    EXPECT_EQ(pictured.pixelColor(30, 10), QColor(Qt::red));
    EXPECT_NE(captioned, pictured);
}

TEST(Panel, TellsWhichButtonWentDown)
{
    Panel panel;
    panel.resize(50, 20);
    QSignalSpy downs(&panel, &Panel::mouseDown);
    QTest::mousePress(&panel, Qt::RightButton, Qt::NoModifier, QPoint(5, 6));
    ASSERT_EQ(downs.size(), 1);
    EXPECT_EQ(downs.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(downs.at(0).at(2).toPoint(), QPoint(5, 6));
}

// The focus frame shows once the keyboard moved the focus, not on the button
// the window gives its focus to at start.
TEST(PanelButton, ShowsTheFocusFrameOnlyAfterTheKeyboardMovedIt)
{
    QWidget window;
    window.resize(120, 40);
    auto* first = new PanelButton(0, &window);
    auto* second = new PanelButton(1, &window);
    first->setGeometry(0, 0, 50, 30);
    second->setGeometry(60, 0, 50, 30);
    window.show();
    QApplication::setActiveWindow(&window);
    const QImage plain = second->grab().toImage();
    first->setFocus(Qt::ActiveWindowFocusReason);
    ASSERT_TRUE(first->hasFocus());
    EXPECT_EQ(first->grab().toImage(), plain);

    QTest::keyClick(&window, Qt::Key_Tab);
    ASSERT_TRUE(second->hasFocus());
    EXPECT_NE(second->grab().toImage(), plain);
}
