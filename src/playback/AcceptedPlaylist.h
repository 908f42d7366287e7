// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <limits>
#include <optional>

// The playlist that plays: the songs the user accepted, the position of the
// current song and the file that starts next. Built once in main() and handed
// by reference to the playlist window, the sequencer and the desktop's media
// control; every change is announced by changed(). GUI thread only.
class AcceptedPlaylist : public QObject {
    Q_OBJECT
public:
    // Positions are 32-bit: a list plays whole up to this many songs, in
    // order and shuffled alike.
    static constexpr std::int32_t kMaxSongs = std::numeric_limits<std::int32_t>::max();

    explicit AcceptedPlaylist(QObject* parent = nullptr);

    // Makes the songs (the first kMaxSongs of them) the playlist, from the
    // first, and counts the list as accepted. An empty list starts nothing:
    // the songs stay as they were and nothing counts as accepted.
    void accept(const QStringList& songs);
    // The playlist window was left without starting a playlist.
    void decline();

    const QStringList& SongList() const { return songs_; }
    std::int32_t SongCount() const { return static_cast<std::int32_t>(songs_.size()); }
    // SongList(index) with a 1-based index; no value outside 1..SongCount.
    std::optional<QString> song(std::int64_t index) const;

    std::int32_t SongIndex() const { return index_; }
    void setSongIndex(std::int32_t index);
    // The file PlayIt opens; it may lie outside the list (a song played on
    // its own, a loaded list not yet accepted).
    const QString& SongFile() const { return file_; }
    void setSongFile(const QString& file);

    // The playlist window was left by starting a playlist.
    bool ListAccepted() const { return accepted_; }
    void setListAccepted(bool accepted);

signals:
    void changed();

private:
    QStringList songs_;
    std::int32_t index_ = 1;
    QString file_;
    bool accepted_ = false;
};
