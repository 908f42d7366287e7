// SPDX-License-Identifier: GPL-3.0-or-later
#include "launch/BackgroundSongCollector.h"

#include <QMetaObject>

BackgroundSongCollector::BackgroundSongCollector(int maxSongs, QObject* parent)
    : QObject(parent), maxSongs_(maxSongs)
{
}

BackgroundSongCollector::~BackgroundSongCollector()
{
    finish();
}

void BackgroundSongCollector::finish()
{
    stop_.store(true, std::memory_order_release);
    if (thread_.joinable()) {
        thread_.join();
    }
    stop_.store(false, std::memory_order_release);
}

void BackgroundSongCollector::start(const QStringList& paths)
{
    finish();
    const std::uint64_t run = ++runs_;
    thread_ = std::thread([this, paths, run] {
        const SongCollector::Result result = SongCollector(&stop_, maxSongs_).collect(paths);
        if (stop_.load(std::memory_order_acquire)) {
            return;
        }
        // Queued to this object, so dropped with it if it goes first; a
        // collection started since replaces this one.
        QMetaObject::invokeMethod(
            this,
            [this, result, run] {
                if (run == runs_) {
                    emit collected(result.songs, result.problems);
                }
            },
            Qt::QueuedConnection);
    });
}
