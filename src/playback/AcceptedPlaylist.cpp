// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/AcceptedPlaylist.h"

AcceptedPlaylist::AcceptedPlaylist(QObject* parent) : QObject(parent) {}

void AcceptedPlaylist::accept(const QStringList& songs)
{
    if (songs.isEmpty()) {
        setListAccepted(false);
        return;
    }
    songs_ = songs.mid(0, kMaxSongs);
    file_ = songs_.constFirst();
    index_ = 1;
    accepted_ = true;
    emit changed();
}

void AcceptedPlaylist::decline()
{
    setListAccepted(false);
}

std::optional<QString> AcceptedPlaylist::song(std::int64_t index) const
{
    if (index < 1 || index > songs_.size()) {
        return std::nullopt;
    }
    return songs_.at(static_cast<qsizetype>(index - 1));
}

void AcceptedPlaylist::setSongIndex(std::int32_t index)
{
    if (index_ != index) {
        index_ = index;
        emit changed();
    }
}

void AcceptedPlaylist::setSongFile(const QString& file)
{
    if (file_ != file) {
        file_ = file;
        emit changed();
    }
}

void AcceptedPlaylist::setListAccepted(bool accepted)
{
    if (accepted_ != accepted) {
        accepted_ = accepted;
        emit changed();
    }
}
