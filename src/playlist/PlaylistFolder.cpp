// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PlaylistFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

QString PlaylistFolder::forThisProgram()
{
    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(userDir);
    return userDir;
}

QString PlaylistFolder::earlierForThisProgram()
{
    return QCoreApplication::applicationDirPath();
}
