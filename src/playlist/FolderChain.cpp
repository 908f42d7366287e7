#include "playlist/FolderChain.h"

#include "playlist/FolderListing.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString indent(int depth)
{
    return QString(depth * 2, QLatin1Char(' '));
}

QString shownName(const QDir& dir)
{
    return dir.isRoot() ? QDir::toNativeSeparators(dir.absolutePath()) : dir.dirName();
}

}  // namespace

FolderChain::FolderChain() = default;

bool FolderChain::open(const QString& folder)
{
    return open(folder, FolderListing::of(folder).folders);
}

bool FolderChain::open(const QString& folder, const QStringList& subfolders)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || !info.isReadable()) {
        return false;
    }
    const QDir target(info.absoluteFilePath());
    QList<QDir> chain;
    for (QDir dir = target;;) {
        chain.prepend(dir);
        if (dir.isRoot() || !dir.cdUp()) {
            break;
        }
    }
    QStringList paths;
    QStringList shown;
    for (int depth = 0; depth < chain.size(); ++depth) {
        paths << chain.at(depth).absolutePath();
        shown << indent(depth) + shownName(chain.at(depth));
    }
    for (const QString& name : subfolders) {
        paths << target.absoluteFilePath(name);
        shown << indent(static_cast<int>(chain.size())) + name;
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
