// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/FolderListing.h"

#include "files/NativePath.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <memory>

namespace {

void sortByName(QStringList& names)
{
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
}

enum class Kind { Folder, File, Other };

struct CloseFolder {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// What the entry is, links followed; a link that leads nowhere is nothing.
Kind kindOf(int folder, const dirent& entry)
{
    switch (entry.d_type) {
        case DT_DIR:
            return Kind::Folder;
        case DT_REG:
            return Kind::File;
        case DT_LNK:
        case DT_UNKNOWN:
            break;
        default:
            return Kind::Other;
    }
    struct stat info {};
    if (::fstatat(folder, entry.d_name, &info, 0) != 0) {
        return Kind::Other;
    }
    return S_ISDIR(info.st_mode) ? Kind::Folder : S_ISREG(info.st_mode) ? Kind::File : Kind::Other;
}

}  // namespace

FolderListing FolderListing::of(const QString& folder)
{
    FolderListing listing;
    if (folder.isEmpty()) {
        return listing;
    }
    // Read by hand, not through QDir: its names lose every byte that is no
    // UTF-8, and such a file could not be opened again.
    const std::unique_ptr<DIR, CloseFolder> dir(::opendir(NativePath::toBytes(folder).constData()));
    if (!dir) {
        return listing;
    }
    const int fd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.') {
            continue;  // hidden, and "." and ".."
        }
        const QString name = NativePath::fromBytes(QByteArray(entry->d_name));
        // Only names of songs are worth a look at what they are.
        if (entry->d_type == DT_REG && !isAudioFileName(name)) {
            continue;
        }
        switch (kindOf(fd, *entry)) {
            case Kind::Folder:
                listing.folders.append(name);
                break;
            case Kind::File:
                if (isAudioFileName(name)) {
                    listing.audioFiles.append(name);
                }
                break;
            case Kind::Other:
                break;
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
