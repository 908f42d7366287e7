#include "audio/LoudnessCache.h"

#include <sys/stat.h>
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
    if (loaded_) {
        return;
    }
    loaded_ = true;
    QFile in(file_);
    if (file_.isEmpty() || in.size() > kMaxFileBytes || !in.open(QIODevice::ReadOnly)) {
        return;
    }
    while (!in.atEnd()) {
        const QByteArray raw = in.readLine(8192);
        ++lines_;
        if (!raw.endsWith('\n')) {
            continue;  // cut off (a write that did not finish) or far too long
        }
        const QStringList fields = QString::fromUtf8(raw.chopped(1)).split(QLatin1Char('\t'));
        if (fields.size() < 6 || fields[0] != QLatin1String(kVersion)) {
            continue;
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
        if (sizeOk && timeOk && lufsOk && std::isfinite(entry.lufs) &&
            entries_.size() < kMaxEntries) {
            entries_.insert(fields.mid(5).join(QLatin1Char('\t')), entry);
        }
    }
}

bool LoudnessCache::append(const QString& line)
{
    if (!QDir().mkpath(QFileInfo(file_).path())) {
        return false;
    }
    QFile out(file_);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return false;
    }
    const QByteArray bytes = line.toUtf8();
    if (out.write(bytes) != bytes.size()) {
        return false;
    }
    ++lines_;
    return true;
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
