// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/loudness/Loudness.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// Loudness measured earlier, and where each song's sound starts and ends,
// kept in a small text file in the per-user cache
// folder and keyed by path, size and modification time, so a changed file is
// measured again. Read on first use. One thread at a time (the loader).
// The folder is the user's alone (0700) and the file is used only when it is
// the user's own regular file with no other name; the cache never reads or
// writes through a link, so a planted link cannot make the radio (perhaps run
// as root) write into a file elsewhere. Anything else in its place is not
// believed, is said once on stderr, and is replaced by a file of its own.
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
        std::optional<SoundSpan> span;
    };
    void load();
    void readLine(const QByteArray& line);
    static std::optional<SoundSpan> spanOf(const QStringList& fields);
    bool append(const QString& line);
    void rewrite();
    static QString lineFor(const QString& path, const Entry& entry);
    // The folder as a descriptor (made when `create` and missing); -1 when it
    // is missing or refused.
    int openFolder(bool create);
    // The cache file in `folder`; -1 when it is missing or refused.
    int openFile(int folder, int flags);
    void refuse(const QString& what, const QString& why);

    QString folder_;
    QString file_;
    bool refusalSaid_ = false;
    bool loaded_ = false;
    QHash<QString, Entry> entries_;
    qsizetype lines_ = 0;
};
