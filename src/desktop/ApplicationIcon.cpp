// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/ApplicationIcon.h"

#include <QDirIterator>

QIcon ApplicationIcon::make()
{
    QIcon builtIn;
    QDirIterator pictures(QStringLiteral(":/desktop/icons"), {QStringLiteral("*.png")});
    while (pictures.hasNext()) {
        builtIn.addFile(pictures.next());
    }
    return QIcon::fromTheme(QString::fromLatin1(kThemeName), builtIn);
}
