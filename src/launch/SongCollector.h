// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <atomic>

// Turns the files and folders named on the command line into songs: a song
// file is itself; a folder gives its songs, subfolders included, a folder's
// own songs first and then its subfolders, each in name order (the playlist
// window's audio patterns, hidden entries left out); a playlist file (.pyl,
// .m3u, .m3u8, .pls) gives its entries that name songs, each entry that
// names none being a problem told with its line. At most kMaxSongs songs.
// Reads folders and files, so it runs off the GUI thread (or in a second
// start, which has nothing else to do); any thread.
class SongCollector {
public:
    // A playlist holds at most this many songs, as the playlist window loads.
    static constexpr int kMaxSongs = 32767;
    // Of one playlist, this many entries that cannot be played are told
    // one by one; the rest are counted.
    static constexpr int kMaxProblemsPerPlaylist = 20;

    struct Result {
        QStringList songs;
        // What was named but gave nothing, one line each.
        QStringList problems;
    };

    // Collection ends early, with what it has, once *stop is set, or once
    // it has maxSongs songs.
    explicit SongCollector(const std::atomic<bool>* stop = nullptr, int maxSongs = kMaxSongs)
        : stop_(stop), maxSongs_(maxSongs)
    {
    }

    // `paths` absolute, as CommandLine gives them.
    Result collect(const QStringList& paths) const;

private:
    class Run;

    const std::atomic<bool>* stop_;
    int maxSongs_;
};
