// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PlaylistModel.h"

#include "files/NativePath.h"
#include "playlist/PathText.h"

int PlaylistModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant PlaylistModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count()) {
        return {};
    }
    const QString& path = paths_.at(index.row());
    if (role == Qt::DisplayRole) {
        return NativePath::readable(FileNameOnly(path));
    }
    return role == PathRole ? QVariant(path) : QVariant();
}

QString PlaylistModel::pathAt(int row) const
{
    return row >= 0 && row < count() ? paths_.at(row) : QString();
}

void PlaylistModel::append(const QStringList& paths)
{
    if (paths.isEmpty()) {
        return;
    }
    beginInsertRows({}, count(), count() + static_cast<int>(paths.size()) - 1);
    paths_.append(paths);
    endInsertRows();
}

void PlaylistModel::replace(const QStringList& paths)
{
    beginResetModel();
    paths_ = paths;
    endResetModel();
}

void PlaylistModel::removeAt(int row)
{
    if (row < 0 || row >= count()) {
        return;
    }
    beginRemoveRows({}, row, row);
    paths_.removeAt(row);
    endRemoveRows();
}

void PlaylistModel::clear()
{
    replace({});
}
