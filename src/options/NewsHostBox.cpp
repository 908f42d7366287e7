// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/NewsHostBox.h"

#include <algorithm>

const QString NewsHostBox::kCaption = QStringLiteral("Headlines from:");
const QString NewsHostBox::kRefusedTitle = QStringLiteral("Not Saved");
const QString NewsHostBox::kRefusedText = QStringLiteral(
    "Headlines from: needs a host name (such as slashdot.org) or an http:// or https:// "
    "address. Nothing was saved.");

NewsHostBox::NewsHostBox(const QWidget& caption, const QRect& place, QWidget* window)
    : QLineEdit(window)
{
    constexpr int kGap = 6;
    setObjectName(QStringLiteral("TxtNewsHost"));
    QRect box = place;
    box.setLeft(std::max(place.left(), caption.geometry().right() + kGap));
    setGeometry(box);
    setToolTip(
        QStringLiteral("A host name, or the http:// or https:// address of an RSS or "
                       "Atom feed."));
}
