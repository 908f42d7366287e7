// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowDrag.h"

#include "ui/RoundedDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

namespace {

void sendMouse(QWidget* target, QEvent::Type type, QPoint global, Qt::MouseButton button,
               Qt::MouseButtons held)
{
    const QPointF local = target->mapFromGlobal(QPointF(global));
    QMouseEvent event(type, local, local, QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void press(QWidget* target, QPoint global, Qt::MouseButton button)
{
    sendMouse(target, QEvent::MouseButtonPress, global, button, button);
}

void moveHeld(QWidget* target, QPoint global, Qt::MouseButton button)
{
    sendMouse(target, QEvent::MouseMove, global, Qt::NoButton, button);
}

void release(QWidget* target, QPoint global, Qt::MouseButton button)
{
    sendMouse(target, QEvent::MouseButtonRelease, global, button, Qt::NoButton);
}

}  // namespace

TEST(WindowDrag, PressOnTheBodyOrALabelMovesTheWindowWithTheMouse)
{
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        RoundedDialog dialog;
        dialog.resize(200, 100);
        auto* label = new QLabel(QStringLiteral("Song:"), &dialog);
        label->setGeometry(20, 20, 60, 20);
        dialog.drag()->setSystemMoveAllowed(false);
        dialog.move(100, 100);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        const QPoint origin = dialog.pos();

        const QPoint grab = label->mapToGlobal(QPoint(5, 5));
        press(label, grab, button);
        EXPECT_TRUE(dialog.drag()->following());
        moveHeld(label, grab + QPoint(30, 7), button);
        EXPECT_EQ(dialog.pos(), origin + QPoint(30, 7));
        moveHeld(label, grab + QPoint(-12, 40), button);
        release(label, grab + QPoint(-15, 44), button);
        EXPECT_EQ(dialog.pos(), origin + QPoint(-15, 44));
        EXPECT_FALSE(dialog.drag()->following());

        // After the release the mouse no longer carries the window.
        moveHeld(label, grab + QPoint(200, 200), Qt::NoButton);
        EXPECT_EQ(dialog.pos(), origin + QPoint(-15, 44));
        dialog.close();
    }
}

TEST(WindowDrag, SurfaceThatTakesPressesStillDragsForItsButtons)
{
    QWidget strip;
    strip.resize(336, 22);
    auto* button = new QPushButton(&strip);
    button->setGeometry(0, 0, 50, 22);
    auto* panel = new QLabel(&strip);
    panel->setGeometry(60, 0, 200, 22);
    WindowDrag drag(&strip);
    drag.setSystemMoveAllowed(false);
    drag.addSurface(panel, Qt::LeftButton);
    strip.move(400, 300);
    strip.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&strip));
    const QPoint origin = strip.pos();
    const QPoint grab = panel->mapToGlobal(QPoint(10, 10));

    // Buttons not given to the surface are left to the window.
    press(panel, grab, Qt::RightButton);
    EXPECT_FALSE(drag.following());
    release(panel, grab, Qt::RightButton);

    press(panel, grab, Qt::LeftButton);
    moveHeld(panel, grab + QPoint(-50, -20), Qt::LeftButton);
    release(panel, grab + QPoint(-50, -20), Qt::LeftButton);
    EXPECT_EQ(strip.pos(), origin + QPoint(-50, -20));
    EXPECT_FALSE(drag.following());
}

TEST(WindowDrag, TheWindowManagerIsAskedOnlyOnceTheHeldMouseMoves)
{
    struct Case {
        const char* name;
        QPoint moved;        // where the held mouse goes before the release
        bool managerMoves;   // whether the window manager takes the move
        int asked;           // requests to the window manager
        QPoint windowShift;  // how far the window moved by hand
    };
    const int far = QApplication::startDragDistance() + 5;
    for (const Case& c : {Case{"quick click", QPoint(0, 0), true, 0, QPoint(0, 0)},
                          Case{"jitter", QPoint(1, 1), true, 0, QPoint(0, 0)},
                          Case{"drag", QPoint(far, 3), true, 1, QPoint(0, 0)},
                          Case{"drag by hand", QPoint(far, 3), false, 1, QPoint(far, 3)}}) {
        SCOPED_TRACE(c.name);
        RoundedDialog dialog;
        dialog.resize(200, 100);
        int asked = 0;
        dialog.drag()->setSystemMove([&](QWindow*) {
            ++asked;
            return c.managerMoves;
        });
        dialog.move(100, 100);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        const QPoint origin = dialog.pos();
        const QPoint grab = dialog.mapToGlobal(QPoint(50, 50));

        press(&dialog, grab, Qt::LeftButton);
        if (!c.moved.isNull()) {
            moveHeld(&dialog, grab + c.moved, Qt::LeftButton);
        }
        release(&dialog, grab + c.moved, Qt::LeftButton);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(dialog.pos(), origin + c.windowShift);
        EXPECT_FALSE(dialog.drag()->following());

        // Once released, the pointer carries nothing.
        moveHeld(&dialog, grab + QPoint(60, 40), Qt::NoButton);
        EXPECT_EQ(dialog.pos(), origin + c.windowShift);
        EXPECT_EQ(asked, c.asked);
    }
}
