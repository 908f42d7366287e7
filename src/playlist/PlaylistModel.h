// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The playlist being built. It keeps the full path of every entry and shows
// each entry by its display name, so the shown list and the path list can
// never drift apart: row n is path n.
class PlaylistModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int PathRole = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const QStringList& paths() const { return paths_; }
    QString pathAt(int row) const;
    int count() const { return static_cast<int>(paths_.size()); }

    void append(const QStringList& paths);
    void replace(const QStringList& paths);
    void removeAt(int row);
    void clear();

private:
    QStringList paths_;
};
