#include "tags/RegularSongFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <cerrno>
#include <utility>

std::optional<RegularSongFile> RegularSongFile::open(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty()) {
        return std::nullopt;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    return RegularSongFile(fd, static_cast<qint64>(status.st_size));
}

RegularSongFile::RegularSongFile(RegularSongFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_)
{
}

RegularSongFile& RegularSongFile::operator=(RegularSongFile&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
    }
    return *this;
}

RegularSongFile::~RegularSongFile()
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

QByteArray RegularSongFile::readAt(qint64 offset, qint64 length) const
{
    if (offset < 0 || length <= 0) {
        return QByteArray();
    }
    QByteArray bytes(length, Qt::Uninitialized);
    qint64 done = 0;
    while (done < length) {
        const ssize_t got = ::pread(fd_, bytes.data() + done, static_cast<size_t>(length - done),
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return QByteArray();
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}
