// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/loudness/Loudness.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <cstdint>
#include <optional>

// Loudness measured earlier, kept in a small text file in the per-user cache
// folder and keyed by path, size and modification time, so a changed file is
// measured again. Read on first use. One thread at a time (the loader).
class LoudnessCache {
public:
    struct Key {
        QString path;
        std::int64_t size = 0;
        std::int64_t modifiedNs = 0;
    };

    // An empty folder keeps nothing.
    explicit LoudnessCache(QString folder);

    // The key of a file as it is now; no value when it cannot be looked at.
    static std::optional<Key> keyOf(const QString& path);

    std::optional<SongLoudness> find(const Key& key);
    void store(const Key& key, const SongLoudness& loudness);

    QString fileName() const { return file_; }

private:
    struct Entry {
        std::int64_t size;
        std::int64_t modifiedNs;
        double lufs;
        std::optional<double> peakDb;
    };
    void load();
    void readLine(const QByteArray& line);
    bool append(const QString& line);
    void rewrite();
    static QString lineFor(const QString& path, const Entry& entry);

    QString file_;
    bool loaded_ = false;
    QHash<QString, Entry> entries_;
    qsizetype lines_ = 0;
};
