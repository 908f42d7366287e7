// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QStringListModel>

// The folder list of the playlist window: the open folder with every folder
// above it, indented by depth, followed by its own subfolders (hidden ones
// left out). Opening an entry makes it the open folder. No widgets.
class FolderChain {
public:
    FolderChain();

    // Opens the folder; false, with nothing changed, when it cannot be read.
    bool open(const QString& folder);
    // The same with the subfolders already read from the folder.
    bool open(const QString& folder, const QStringList& subfolders);
    const QString& folder() const { return folder_; }
    QStringListModel& model() { return model_; }
    // The folder shown in a row; empty outside the list.
    QString pathAt(int row) const;
    // The row that shows the open folder.
    int openRow() const { return openRow_; }

private:
    QString folder_;
    QStringList paths_;
    QStringListModel model_;
    int openRow_ = -1;
};
