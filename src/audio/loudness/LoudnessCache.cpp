// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loudness/LoudnessCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <QTextStream>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace {
const QString kFileName = QStringLiteral("loudness.tsv");
// Lines of the first kind hold the loudness alone; those of the second also
// the span of sound. Both are read.
const QByteArray kVersion = QByteArrayLiteral("L1");
const QByteArray kSpanVersion = QByteArrayLiteral("L2");
constexpr qsizetype kFields = 6;
constexpr qsizetype kSpanFields = 10;
// A cache file beyond this is not ours to read.
constexpr qint64 kMaxFileBytes = 32 * 1024 * 1024;
// Beyond this many songs the cache starts over.
constexpr qsizetype kMaxEntries = 100000;

// Closes the descriptor when it goes.
struct Descriptor {
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor()
    {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    const int fd;
};

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += n;
    }
    return true;
}

std::optional<QByteArray> readAll(int fd)
{
    QByteArray text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 || text.size() + n > kMaxFileBytes) {
            return std::nullopt;
        }
        if (n == 0) {
            return text;
        }
        text.append(buffer, n);
    }
}

// Makes the folders of `path` that are missing, for the user alone; those
// that exist are left as they are.
void makeMissingFolders(const QByteArray& path)
{
    for (qsizetype slash = path.indexOf('/', 1); slash > 0; slash = path.indexOf('/', slash + 1)) {
        ::mkdir(path.left(slash).constData(), 0700);
    }
    ::mkdir(path.constData(), 0700);
}
}  // namespace

LoudnessCache::LoudnessCache(QString folder)
    : folder_(folder.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absolutePath())),
      file_(folder.isEmpty() ? QString() : QDir(folder_).filePath(kFileName))
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
    loudness.span = it->span;
    return loudness;
}

void LoudnessCache::store(const Key& key, const SongLoudness& loudness)
{
    if (file_.isEmpty() || key.path.contains(QLatin1Char('\n')) ||
        key.path.contains(QLatin1Char('\r')) || !std::isfinite(loudness.lufs)) {
        return;
    }
    load();
    const Entry entry{key.size, key.modifiedNs, loudness.lufs, loudness.peakDb, loudness.span};
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
    QString line =
        QStringLiteral("%1\t%2\t%3\t%4\t%5\t")
            .arg(QString::fromLatin1(entry.span ? kSpanVersion : kVersion))
            .arg(entry.size)
            .arg(entry.modifiedNs)
            .arg(entry.lufs, 0, 'f', 2)
            .arg(entry.peakDb ? QString::number(*entry.peakDb, 'f', 2) : QStringLiteral("-"));
    if (entry.span) {
        line += QStringLiteral("%1\t%2\t%3\t%4\t")
                    .arg(entry.span->start)
                    .arg(entry.span->end)
                    .arg(entry.span->headLu, 0, 'f', 2)
                    .arg(entry.span->tailLu, 0, 'f', 2);
    }
    return line + path + QLatin1Char('\n');
}

std::optional<SoundSpan> LoudnessCache::spanOf(const QStringList& fields)
{
    bool ok[4] = {};
    SoundSpan span;
    span.start = fields[5].toLongLong(&ok[0]);
    span.end = fields[6].toLongLong(&ok[1]);
    span.headLu = fields[7].toDouble(&ok[2]);
    span.tailLu = fields[8].toDouble(&ok[3]);
    if (!ok[0] || !ok[1] || !ok[2] || !ok[3] || span.start < 0 || span.end <= span.start ||
        !std::isfinite(span.headLu) || !std::isfinite(span.tailLu)) {
        return std::nullopt;
    }
    return span;
}

void LoudnessCache::load()
{
    if (loaded_ || file_.isEmpty()) {
        loaded_ = true;
        return;
    }
    loaded_ = true;
    const Descriptor folder(openFolder(false));
    const Descriptor in(folder.fd < 0 ? -1 : openFile(folder.fd, O_RDONLY));
    const std::optional<QByteArray> text = in.fd < 0 ? std::nullopt : readAll(in.fd);
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
    const bool withSpan = fields.size() >= kSpanFields && fields[0] == QLatin1String(kSpanVersion);
    if ((!withSpan && (fields.size() < kFields || fields[0] != QLatin1String(kVersion))) ||
        entries_.size() >= kMaxEntries) {
        return;
    }
    bool sizeOk = false;
    bool timeOk = false;
    bool lufsOk = false;
    bool peakOk = false;
    Entry entry{fields[1].toLongLong(&sizeOk), fields[2].toLongLong(&timeOk),
                fields[3].toDouble(&lufsOk), std::nullopt, std::nullopt};
    const double peak = fields[4].toDouble(&peakOk);
    if (peakOk && std::isfinite(peak)) {
        entry.peakDb = peak;
    }
    if (withSpan) {
        entry.span = spanOf(fields);
        if (!entry.span) {
            return;  // a damaged line: measured again
        }
    }
    if (sizeOk && timeOk && lufsOk && std::isfinite(entry.lufs)) {
        entries_.insert(
            fields.mid(withSpan ? kSpanFields - 1 : kFields - 1).join(QLatin1Char('\t')), entry);
    }
}

int LoudnessCache::openFolder(bool create)
{
    const QByteArray path = QFile::encodeName(folder_);
    if (create) {
        makeMissingFolders(path);
    }
    // The folder itself must not be a link: what is made in it would land
    // wherever the link points.
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) {
            refuse(folder_, errno == ELOOP || errno == ENOTDIR ? QStringLiteral("is no folder")
                                                               : errorText(errno));
        }
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd);
        refuse(folder_, QStringLiteral("is not the user's own folder"));
        return -1;
    }
    // The program's own folder: which songs a user plays is nobody else's
    // business.
    if ((info.st_mode & 077) != 0 && create) {
        ::fchmod(fd, 0700);
    }
    return fd;
}

int LoudnessCache::openFile(int folder, int flags)
{
    // O_NONBLOCK: a FIFO in the file's place must not hang the loader.
    const int fd = ::openat(folder, QFile::encodeName(kFileName).constData(),
                            flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno != ENOENT) {
            refuse(file_, errno == ELOOP ? QStringLiteral("is a link") : errorText(errno));
        }
        return -1;
    }
    struct stat info {};
    QString why;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        why = QStringLiteral("is no regular file");
    } else if (info.st_uid != ::geteuid()) {
        why = QStringLiteral("belongs to another user");
    } else if (info.st_nlink != 1) {
        why = QStringLiteral("is also known by another name");
    }
    if (!why.isEmpty()) {
        ::close(fd);
        refuse(file_, why);
        return -1;
    }
    return fd;
}

void LoudnessCache::refuse(const QString& what, const QString& why)
{
    if (refusalSaid_) {
        return;
    }
    refusalSaid_ = true;
    // A file in the cache's place is left as it is, only its name is taken
    // over by the rewrite; without a folder there is no cache at all.
    const char* const outcome = what == folder_
                                    ? "; the cache is not used and songs are measured"
                                    : "; it is not believed and a file of the cache's own takes "
                                      "its name";
    QTextStream(stderr) << "tolvar-radio: the loudness cache " << what << ' ' << why << outcome
                        << Qt::endl;
}

bool LoudnessCache::append(const QString& line)
{
    const Descriptor folder(openFolder(true));
    const Descriptor out(folder.fd < 0 ? -1 : openFile(folder.fd, O_WRONLY | O_APPEND | O_CREAT));
    const bool ok = out.fd >= 0 && writeAll(out.fd, line.toUtf8());
    lines_ += ok ? 1 : 0;
    return ok;
}

// Writes every entry once into a new file of the cache's own, then puts it
// in the old one's place, whatever that was: the rename replaces a link or a
// second name without writing through it.
void LoudnessCache::rewrite()
{
    const Descriptor folder(openFolder(true));
    if (folder.fd < 0) {
        return;
    }
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        temporary = QFile::encodeName(kFileName) + '.' +
                    QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        fd = ::openat(folder.fd, temporary.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) {
            return;
        }
    }
    const Descriptor out(fd);
    if (out.fd < 0) {
        return;
    }
    QByteArray text;
    for (auto it = entries_.cbegin(); it != entries_.cend(); ++it) {
        text += lineFor(it.key(), it.value()).toUtf8();
    }
    if (writeAll(out.fd, text) && ::fdatasync(out.fd) == 0 &&
        ::renameat(folder.fd, temporary.constData(), folder.fd,
                   QFile::encodeName(kFileName).constData()) == 0) {
        lines_ = entries_.size();
    } else {
        ::unlinkat(folder.fd, temporary.constData(), 0);
    }
}
