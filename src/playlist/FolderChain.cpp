// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/FolderChain.h"

#include "files/NativePath.h"
#include "playlist/FolderListing.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>

namespace {

QString indent(int depth)
{
    return QString(depth * 2, QLatin1Char(' '));
}

QString shownName(const QDir& dir)
{
    return dir.isRoot() ? QDir::toNativeSeparators(dir.absolutePath())
                        : NativePath::readable(dir.dirName());
}

// Looked at by its bytes: QFileInfo would lose the name's bytes that are no
// UTF-8.
bool isReadableFolder(const QString& path)
{
    const std::optional<struct stat> info = NativePath::status(path);
    return info && S_ISDIR(info->st_mode) &&
           ::access(NativePath::toBytes(path).constData(), R_OK) == 0;
}

}  // namespace

FolderChain::FolderChain() = default;

bool FolderChain::open(const QString& folder)
{
    return open(folder, FolderListing::of(folder).folders);
}

bool FolderChain::open(const QString& folder, const QStringList& subfolders)
{
    if (folder.isEmpty() || !isReadableFolder(folder)) {
        return false;
    }
    // The folders above are found from the text alone (QDir::cdUp would look
    // at each one under a name that may have lost bytes).
    const QDir target(QDir::cleanPath(QDir(folder).absolutePath()));
    QList<QDir> chain;
    for (QString path = target.absolutePath();;) {
        const QDir dir(path);
        chain.prepend(dir);
        const QString parent = QDir::cleanPath(path + QStringLiteral("/.."));
        if (dir.isRoot() || parent == path) {
            break;
        }
        path = parent;
    }
    QStringList paths;
    QStringList shown;
    for (int depth = 0; depth < chain.size(); ++depth) {
        paths << chain.at(depth).absolutePath();
        shown << indent(depth) + shownName(chain.at(depth));
    }
    for (const QString& name : subfolders) {
        paths << target.absoluteFilePath(name);
        shown << indent(static_cast<int>(chain.size())) + NativePath::readable(name);
    }
    folder_ = target.absolutePath();
    paths_ = paths;
    openRow_ = static_cast<int>(chain.size()) - 1;
    model_.setStringList(shown);
    return true;
}

QString FolderChain::pathAt(int row) const
{
    return row >= 0 && row < paths_.size() ? paths_.at(row) : QString();
}
