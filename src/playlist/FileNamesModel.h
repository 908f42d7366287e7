// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringListModel>

// A list of file names as the file system gave them (see NativePath), shown
// readably. stringList() holds the names themselves; only what the view shows
// differs, for names that hold bytes that are no UTF-8.
class FileNamesModel : public QStringListModel {
    Q_OBJECT
public:
    using QStringListModel::QStringListModel;

    QVariant data(const QModelIndex& index, int role) const override;
};
