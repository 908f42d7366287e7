#include "playlist/FolderListing.h"

#include <QDirIterator>
#include <algorithm>

namespace {

void sortByName(QStringList& names)
{
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
}

}  // namespace

FolderListing FolderListing::of(const QString& folder)
{
    FolderListing listing;
    if (folder.isEmpty()) {
        return listing;
    }
    QDirIterator it(folder, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString name = info.fileName();
        if (info.isDir()) {
            listing.folders.append(name);
        } else if (isAudioFileName(name)) {
            listing.audioFiles.append(name);
        }
    }
    sortByName(listing.folders);
    sortByName(listing.audioFiles);
    return listing;
}

bool FolderListing::isAudioFileName(const QString& name)
{
    return name.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".mp2"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive) ||
           name.contains(QLatin1String(".mid"), Qt::CaseInsensitive);
}
