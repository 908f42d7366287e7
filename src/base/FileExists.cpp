#include "base/FileExists.h"

#include <QFileInfo>

bool FileExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile() && info.size() > 0;
}
