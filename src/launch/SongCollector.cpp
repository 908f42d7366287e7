// SPDX-License-Identifier: GPL-3.0-or-later
#include "launch/SongCollector.h"

#include "base/FileExists.h"
#include "files/NativePath.h"
#include "playlist/FolderListing.h"
#include "playlist/PlaylistFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <vector>

// One collection: the result so far and the folders already walked (a link
// back up the tree must not walk it again).
class SongCollector::Run {
public:
    Run(const std::atomic<bool>* stop, int maxSongs, Result& result)
        : stop_(stop), maxSongs_(maxSongs), result_(result)
    {
    }

    void add(const QString& path)
    {
        const QFileInfo info(path);
        const std::optional<struct stat> status = NativePath::status(path);
        if (status && S_ISDIR(status->st_mode)) {
            addFolder(path);
        } else if (const std::optional<PlaylistFile::Format> format =
                       PlaylistFile::formatOf(info.fileName())) {
            addPlaylist(info, *format);
        } else if (!FolderListing::isAudioFileName(info.fileName())) {
            result_.problems << QStringLiteral(
                                    "Not a song, folder or playlist (.pyl, .m3u, .m3u8, .pls): %1")
                                    .arg(NativePath::readable(path));
        } else if (!FileExists(path)) {
            result_.problems << QStringLiteral("No such file, or it is empty: %1")
                                    .arg(NativePath::readable(path));
        } else {
            take(path);
        }
    }

    bool full() const
    {
        return result_.songs.size() >= maxSongs_ ||
               (stop_ != nullptr && stop_->load(std::memory_order_acquire));
    }

private:
    void take(const QString& song)
    {
        if (!full()) {
            result_.songs << song;
        }
    }

    void addFolder(const QString& top)
    {
        if (walked_.contains(NativePath::canonical(top))) {
            return;  // named twice, or inside a folder named before
        }
        const qsizetype before = result_.songs.size();
        // Depth first, without recursion: a deep tree cannot exhaust the stack.
        std::vector<QString> pending{top};
        while (!pending.empty() && !full()) {
            const QString folder = pending.back();
            pending.pop_back();
            const QString canonical = NativePath::canonical(folder);
            if (canonical.isEmpty() || walked_.contains(canonical)) {
                continue;
            }
            walked_.insert(canonical);
            const FolderListing listing = FolderListing::of(folder);
            const QDir dir(folder);
            for (const QString& name : listing.audioFiles) {
                const QString song = dir.filePath(name);
                if (FileExists(song)) {
                    take(song);
                }
            }
            for (auto it = listing.folders.crbegin(); it != listing.folders.crend(); ++it) {
                pending.push_back(dir.filePath(*it));
            }
        }
        if (result_.songs.size() == before && !full()) {
            result_.problems
                << QStringLiteral("No songs in the folder: %1").arg(NativePath::readable(top));
        }
    }

    void addPlaylist(const QFileInfo& info, PlaylistFile::Format format)
    {
        const QString path = info.filePath();
        const std::optional<std::vector<PlaylistEntry>> entries = PlaylistFile::read(path, format);
        if (!entries) {
            result_.problems
                << QStringLiteral("Cannot read the playlist: %1").arg(NativePath::readable(path));
            return;
        }
        const qsizetype before = result_.songs.size();
        int skipped = 0;
        const QDir folder = info.absoluteDir();
        for (const PlaylistEntry& entry : *entries) {
            if (full()) {
                break;
            }
            const QString problem = problemWith(entry, folder);
            if (problem.isEmpty()) {
                take(*PlaylistFile::localPath(entry.text, folder));
            } else if (++skipped <= kMaxProblemsPerPlaylist) {
                result_.problems << QStringLiteral("%1, line %2: %3")
                                        .arg(NativePath::readable(path))
                                        .arg(entry.line)
                                        .arg(problem);
            }
        }
        if (skipped > kMaxProblemsPerPlaylist) {
            result_.problems << QStringLiteral("%1: %2 more entries cannot be played")
                                    .arg(NativePath::readable(path))
                                    .arg(skipped - kMaxProblemsPerPlaylist);
        }
        if (result_.songs.size() == before && !full()) {
            result_.problems
                << QStringLiteral("The playlist has no songs: %1").arg(NativePath::readable(path));
        }
    }

    // Why the entry cannot be played; empty when it can.
    static QString problemWith(const PlaylistEntry& entry, const QDir& folder)
    {
        if (entry.tooLong) {
            return QStringLiteral("The line is too long to be a path");
        }
        if (entry.text.isEmpty()) {
            return QStringLiteral("No song named");
        }
        const std::optional<QString> song = PlaylistFile::localPath(entry.text, folder);
        if (!song) {
            return QStringLiteral("Only local files can be played: %1").arg(entry.text);
        }
        if (!FolderListing::isAudioFileName(QFileInfo(*song).fileName())) {
            return QStringLiteral("Not a song (mp3, mp2, wav, mid): %1")
                .arg(NativePath::readable(*song));
        }
        if (!FileExists(*song)) {
            return QStringLiteral("No such file, or it is empty: %1")
                .arg(NativePath::readable(*song));
        }
        return QString();
    }

    const std::atomic<bool>* stop_;
    const int maxSongs_;
    Result& result_;
    QSet<QString> walked_;
};

SongCollector::Result SongCollector::collect(const QStringList& paths) const
{
    Result result;
    Run run(stop_, maxSongs_, result);
    for (const QString& path : paths) {
        if (run.full()) {
            break;
        }
        run.add(path);
    }
    return result;
}
