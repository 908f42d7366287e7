// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/SongInfo.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <cstdint>
#include <functional>
#include <optional>

// Reads song information (SongInfoReader) on a worker thread and hands it
// back, through the event loop, to the thread that owns this object. Only the
// answer to the latest request comes back: a new request, or cancel(), drops
// any earlier one still on its way. Owner thread only (the GUI thread).
class SongInfoLoader : public QObject {
    Q_OBJECT
public:
    using Reader = std::function<std::optional<SongInfo>(const QString& path)>;

    explicit SongInfoLoader(QObject* parent = nullptr);
    // Waits for a read in progress (reads are bounded); its answer is dropped.
    ~SongInfoLoader() override;

    void load(const QString& path);
    void cancel() { ++serial_; }

    // Replaces the file reader (tests). It then runs on the caller's thread;
    // the answer still comes through the event loop.
    void setReader(Reader reader) { reader_ = std::move(reader); }

signals:
    // The information of the file last asked for; nothing comes for a file
    // that could not be opened as a regular file.
    void loaded(const QString& path, const SongInfo& info);

private:
    void deliver(std::uint64_t serial, const QString& path, const std::optional<SongInfo>& info);

    Reader reader_;
    QThreadPool pool_;
    std::uint64_t serial_ = 0;
};
