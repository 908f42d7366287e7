// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/FileNamesModel.h"

#include "files/NativePath.h"

QVariant FileNamesModel::data(const QModelIndex& index, int role) const
{
    const QVariant value = QStringListModel::data(index, role);
    return role == Qt::DisplayRole ? QVariant(NativePath::readable(value.toString())) : value;
}
