// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/RoundedDialog.h"

#include "ui/PulsingLight.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

class SampleDialog : public RoundedDialog {
public:
    SampleDialog()
    {
        setSizeTwips(4050, 3165);
        placeFades(3510, 2790);
    }
    using RoundedDialog::twips;
};

}  // namespace

TEST(RoundedDialog, HasNoCaptionAndPlacesItsLightInTwips)
{
    SampleDialog dialog;
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(dialog.size(), dialog.twips(0, 0, 4050, 3165).size());
    EXPECT_EQ(dialog.fades()->geometry(), dialog.twips(3510, 2790, 255, 45));
    EXPECT_EQ(dialog.fades()->parentWidget(), &dialog);
}

TEST(RoundedDialog, OutlineIsRoundedWhileShownAndRemovedOnClose)
{
    SampleDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    const QRegion outline = dialog.mask();
    ASSERT_FALSE(outline.isEmpty());
    const QRect all = dialog.rect();
    EXPECT_EQ(outline.boundingRect(), all);
    // The 20 x 20 corner ellipses cut the very corners, not the edges' middles.
    for (const QPoint corner :
         {all.topLeft(), all.topRight(), all.bottomLeft(), all.bottomRight()}) {
        EXPECT_FALSE(outline.contains(corner)) << corner.x() << "," << corner.y();
    }
    EXPECT_TRUE(outline.contains(QPoint(all.center().x(), 0)));
    EXPECT_TRUE(outline.contains(QPoint(0, all.center().y())));
    EXPECT_TRUE(outline.contains(QPoint(10, 10)));
    EXPECT_FALSE(outline.contains(QPoint(1, 1)));

    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.mask().isEmpty());

    // Shown again, it is cut again.
    dialog.show();
    EXPECT_EQ(dialog.mask().boundingRect(), dialog.rect());
    dialog.close();
}

TEST(RoundedDialog, OutlineFollowsTheSizeAndSurvivesHiding)
{
    SampleDialog dialog;
    dialog.show();
    dialog.resize(300, 120);
    EXPECT_EQ(dialog.mask().boundingRect(), QRect(0, 0, 300, 120));
    dialog.hide();
    EXPECT_EQ(dialog.mask().boundingRect(), QRect(0, 0, 300, 120));
    EXPECT_TRUE(RoundedDialog::roundedOutline(QSize()).isEmpty());
}
