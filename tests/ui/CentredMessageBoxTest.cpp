// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CentredMessageBox.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QScreen>
#include <QTimer>

TEST(CentredMessageBox, ComesOverTheMiddleOfItsOwnerWithinTheScreen)
{
    const QRect screen(0, 0, 1280, 1024);
    const QSize box(500, 86);
    struct Case {
        const char* where;
        QRect owner;
        QPoint expected;
    };
    const Case cases[] = {
        {"in the middle", QRect(407, 258, 445, 426), QPoint(380, 428)},
        {"near the left edge", QRect(0, 400, 200, 200), QPoint(0, 457)},
        {"near the top", QRect(500, 0, 300, 40), QPoint(400, 0)},
        {"past the right and bottom", QRect(1200, 1000, 300, 300), QPoint(780, 938)},
        {"on a screen that does not start at 0", QRect(1500, 100, 400, 400), QPoint(1450, 257)},
    };
    for (const Case& c : cases) {
        const QRect area = c.owner.x() >= 1280 ? QRect(1280, 0, 1024, 768) : screen;
        EXPECT_EQ(CentredMessageBox::placeOver(c.owner, box, area), c.expected) << c.where;
    }
    // A box larger than the screen starts at its top-left corner.
    EXPECT_EQ(CentredMessageBox::placeOver(QRect(100, 100, 10, 10), QSize(2000, 2000), screen),
              QPoint(0, 0));
}

TEST(CentredMessageBox, ShowsCentredOverTheOwnersOwnGeometry)
{
    QDialog owner(nullptr, Qt::FramelessWindowHint);
    owner.resize(445, 426);
    const QRect area = owner.screen()->availableGeometry();
    owner.move(area.topLeft() + QPoint(300, 200));
    owner.show();
    CentredMessageBox box(QMessageBox::Warning, QStringLiteral("Not Saved"),
                          QStringLiteral("A message."), QMessageBox::Ok, &owner);
    QPoint centre;
    QTimer::singleShot(0, &box, [&] {
        centre = box.frameGeometry().center();
        box.accept();
    });
    box.exec();
    EXPECT_LE((centre - owner.frameGeometry().center()).manhattanLength(), 2);
}
