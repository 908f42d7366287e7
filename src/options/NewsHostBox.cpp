#include "options/NewsHostBox.h"

const QString NewsHostBox::kCaption = QStringLiteral("Headlines from:");
const QString NewsHostBox::kRefusedTitle = QStringLiteral("Not Saved");
const QString NewsHostBox::kRefusedText = QStringLiteral(
    "Headlines from: needs a host name (such as slashdot.org) or an http:// or https:// "
    "address. Nothing was saved.");

NewsHostBox::NewsHostBox(const QRect& place, QWidget* window) : QLineEdit(window)
{
    setObjectName(QStringLiteral("TxtNewsHost"));
    setGeometry(place);
    setToolTip(
        QStringLiteral("A host name, or the http:// or https:// address of an RSS or "
                       "Atom feed."));
}
