// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "launch/SongCollector.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <thread>

// Runs a SongCollector on a thread of its own and reports on the thread that
// made it, so a large music folder never holds up the windows. Destroying it
// stops the collection and waits for the thread, which looks at the stop
// request between files. GUI thread only.
class BackgroundSongCollector : public QObject {
    Q_OBJECT
public:
    // At most maxSongs songs are collected.
    explicit BackgroundSongCollector(int maxSongs = SongCollector::kMaxSongs,
                                     QObject* parent = nullptr);
    ~BackgroundSongCollector() override;
    BackgroundSongCollector(const BackgroundSongCollector&) = delete;
    BackgroundSongCollector& operator=(const BackgroundSongCollector&) = delete;

    // Starts collecting; a collection still running is dropped first.
    void start(const QStringList& paths);

signals:
    void collected(const QStringList& songs, const QStringList& problems);

private:
    void finish();

    const int maxSongs_;
    std::atomic<bool> stop_{false};
    // Counts starts (GUI thread).
    std::uint64_t runs_ = 0;
    std::thread thread_;
};
