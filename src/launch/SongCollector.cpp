#include "launch/SongCollector.h"

#include "base/FileExists.h"
#include "files/NativePath.h"
#include "files/RegularFile.h"
#include "playlist/FolderListing.h"
#include "playlist/PylFormat.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <vector>

// One collection: the result so far and the folders already walked (a link
// back up the tree must not walk it again).
class SongCollector::Run {
public:
    Run(const std::atomic<bool>* stop, Result& result) : stop_(stop), result_(result) {}

    void add(const QString& path)
    {
        const QFileInfo info(path);
        const std::optional<struct stat> status = NativePath::status(path);
        if (status && S_ISDIR(status->st_mode)) {
            addFolder(path);
        } else if (info.suffix().compare(QLatin1String("pyl"), Qt::CaseInsensitive) == 0) {
            addPlaylist(info);
        } else if (!FolderListing::isAudioFileName(info.fileName())) {
            result_.problems << QStringLiteral("Not a song, folder or playlist (.pyl): %1")
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
        return result_.songs.size() >= kMaxSongs ||
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

    void addPlaylist(const QFileInfo& info)
    {
        const QString path = info.filePath();
        // Only a regular file: a FIFO or a device under the name cannot hang
        // the collection.
        const RegularFile file(path, RegularFile::Access::Read);
        const std::optional<QByteArray> bytes =
            file.isOpen() ? file.readAll(kMaxPlaylistBytes) : std::nullopt;
        if (!bytes) {
            result_.problems
                << QStringLiteral("Cannot read the playlist: %1").arg(NativePath::readable(path));
            return;
        }
        const QStringList entries = PylFormat::decode(*bytes);
        if (entries.isEmpty()) {
            result_.problems
                << QStringLiteral("The playlist has no songs: %1").arg(NativePath::readable(path));
            return;
        }
        // Entries are taken as the playlist window takes them; a relative
        // one is relative to the playlist's folder.
        const QDir folder = info.absoluteDir();
        for (const QString& entry : entries) {
            take(QDir::isRelativePath(entry) ? folder.filePath(entry) : entry);
        }
    }

    const std::atomic<bool>* stop_;
    Result& result_;
    QSet<QString> walked_;
};

SongCollector::Result SongCollector::collect(const QStringList& paths) const
{
    Result result;
    Run run(stop_, result);
    for (const QString& path : paths) {
        if (run.full()) {
            break;
        }
        run.add(path);
    }
    return result;
}
