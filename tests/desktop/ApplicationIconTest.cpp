// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/ApplicationIcon.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

namespace {

TEST(ApplicationIconTest, BuiltIntoTheProgramAtEverySize)
{
    // No icon theme knows the program in a build tree; the built-in copy
    // must stand in.
    const QIcon icon = ApplicationIcon::make();
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
    }

    // Drawn, not blank: the corners are clear and the middle is opaque.
    const QImage picture = icon.pixmap(QSize(64, 64)).toImage();
    ASSERT_EQ(picture.size(), QSize(64, 64));
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(picture.pixel(32, 40)), 255);
}

}  // namespace
