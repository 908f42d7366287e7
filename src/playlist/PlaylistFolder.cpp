#include "playlist/PlaylistFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString PlaylistFolder::forThisProgram()
{
    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString chosen = choose(QCoreApplication::applicationDirPath(), userDir);
    if (chosen == userDir) {
        QDir().mkpath(userDir);
    }
    return chosen;
}

QString PlaylistFolder::choose(const QString& programDir, const QString& userDir)
{
    const QFileInfo info(programDir);
    if (!programDir.isEmpty() && info.isDir() && info.isWritable()) {
        return programDir;
    }
    return userDir;
}
