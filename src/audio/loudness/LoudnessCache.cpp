// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loudness/LoudnessCache.h"

#include "files/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <cmath>

namespace {
const QString kFileName = QStringLiteral("loudness.tsv");
const QByteArray kVersion = QByteArrayLiteral("L1");
// A cache file beyond this is not ours to read.
constexpr qint64 kMaxFileBytes = 32 * 1024 * 1024;
// Beyond this many songs the cache starts over.
constexpr qsizetype kMaxEntries = 100000;
}  // namespace

LoudnessCache::LoudnessCache(QString folder)
    : file_(folder.isEmpty() ? QString() : QDir(folder).filePath(kFileName))
{
}

std::optional<LoudnessCache::Key> LoudnessCache::keyOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    Key key;
    key.path = path;
    key.size = static_cast<std::int64_t>(info.st_size);
    key.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                     static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    return key;
}

std::optional<SongLoudness> LoudnessCache::find(const Key& key)
{
    load();
    const auto it = entries_.constFind(key.path);
    if (it == entries_.cend() || it->size != key.size || it->modifiedNs != key.modifiedNs) {
        return std::nullopt;
    }
    SongLoudness loudness;
    loudness.source = SongLoudness::Source::Cache;
    loudness.lufs = it->lufs;
    loudness.peakDb = it->peakDb;
    return loudness;
}

void LoudnessCache::store(const Key& key, const SongLoudness& loudness)
{
    if (file_.isEmpty() || key.path.contains(QLatin1Char('\n')) ||
        key.path.contains(QLatin1Char('\r')) || !std::isfinite(loudness.lufs)) {
        return;
    }
    load();
    const Entry entry{key.size, key.modifiedNs, loudness.lufs, loudness.peakDb};
    if (entries_.size() >= kMaxEntries && !entries_.contains(key.path)) {
        entries_.clear();
    }
    entries_.insert(key.path, entry);
    if (lines_ > 2 * entries_.size() + 64 || entries_.isEmpty() ||
        !append(lineFor(key.path, entry))) {
        rewrite();
    }
}

QString LoudnessCache::lineFor(const QString& path, const Entry& entry)
{
    return QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\n")
        .arg(QString::fromLatin1(kVersion))
        .arg(entry.size)
        .arg(entry.modifiedNs)
        .arg(entry.lufs, 0, 'f', 2)
        .arg(entry.peakDb ? QString::number(*entry.peakDb, 'f', 2) : QStringLiteral("-"))
        .arg(path);
}

void LoudnessCache::load()
{
    if (loaded_ || file_.isEmpty()) {
        loaded_ = true;
        return;
    }
    loaded_ = true;
    const RegularFile in(file_, RegularFile::Access::Read);
    const std::optional<QByteArray> text = in.isOpen() ? in.readAll(kMaxFileBytes) : std::nullopt;
    if (!text) {
        return;
    }
    const QList<QByteArray> pieces = text->split('\n');
    // The last piece follows the final newline: empty, or a line whose write
    // did not finish.
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i) {
        ++lines_;
        readLine(pieces[i]);
    }
}

void LoudnessCache::readLine(const QByteArray& raw)
{
    const QStringList fields = QString::fromUtf8(raw).split(QLatin1Char('\t'));
    if (fields.size() < 6 || fields[0] != QLatin1String(kVersion) ||
        entries_.size() >= kMaxEntries) {
        return;
    }
    bool sizeOk = false;
    bool timeOk = false;
    bool lufsOk = false;
    bool peakOk = false;
    Entry entry{fields[1].toLongLong(&sizeOk), fields[2].toLongLong(&timeOk),
                fields[3].toDouble(&lufsOk), std::nullopt};
    const double peak = fields[4].toDouble(&peakOk);
    if (peakOk && std::isfinite(peak)) {
        entry.peakDb = peak;
    }
    if (sizeOk && timeOk && lufsOk && std::isfinite(entry.lufs)) {
        entries_.insert(fields.mid(5).join(QLatin1Char('\t')), entry);
    }
}

bool LoudnessCache::append(const QString& line)
{
    if (!QDir().mkpath(QFileInfo(file_).path())) {
        return false;
    }
    // Only ever onto a regular file: whatever else sits there is refused
    // without blocking, and the cache is then written anew.
    const int fd = ::open(QFile::encodeName(file_).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    const QByteArray bytes = line.toUtf8();
    const bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                    ::write(fd, bytes.constData(), static_cast<std::size_t>(bytes.size())) ==
                        static_cast<ssize_t>(bytes.size());
    ::close(fd);
    lines_ += ok ? 1 : 0;
    return ok;
}

// Writes every entry once, replacing the file as a whole.
void LoudnessCache::rewrite()
{
    if (!QDir().mkpath(QFileInfo(file_).path())) {
        return;
    }
    QSaveFile out(file_);
    if (!out.open(QIODevice::WriteOnly)) {
        return;
    }
    for (auto it = entries_.cbegin(); it != entries_.cend(); ++it) {
        out.write(lineFor(it.key(), it.value()).toUtf8());
    }
    if (out.commit()) {
        lines_ = entries_.size();
    }
}
