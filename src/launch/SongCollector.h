#pragma once

#include <QString>
#include <QStringList>
#include <atomic>

// Turns the files and folders named on the command line into songs: a song
// file is itself; a folder gives its songs, subfolders included, a folder's
// own songs first and then its subfolders, each in name order (the playlist
// window's audio patterns, hidden entries left out); a playlist file (.pyl)
// gives its entries. At most kMaxSongs songs. Reads folders and files, so it
// runs off the GUI thread (or in a second start, which has nothing else to
// do); any thread.
class SongCollector {
public:
    // A playlist holds at most this many songs, as the playlist window loads.
    static constexpr int kMaxSongs = 32767;
    // A .pyl of that many long paths stays well below this.
    static constexpr qint64 kMaxPlaylistBytes = 16 * 1024 * 1024;

    struct Result {
        QStringList songs;
        // What was named but gave nothing, one line each.
        QStringList problems;
    };

    // Collection ends early, with what it has, once *stop is set.
    explicit SongCollector(const std::atomic<bool>* stop = nullptr) : stop_(stop) {}

    // `paths` absolute, as CommandLine gives them.
    Result collect(const QStringList& paths) const;

private:
    class Run;

    const std::atomic<bool>* stop_;
};
