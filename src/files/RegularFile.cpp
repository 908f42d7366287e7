// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/RegularFile.h"

#include "files/NativePath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <utility>

RegularFile::RegularFile(const QString& path, Access access)
{
    if (path.isEmpty()) {
        fail(Status::Missing, ENOENT);
        return;
    }
    const QByteArray name = NativePath::toBytes(path);
    const int mode = access == Access::ReadWrite ? O_RDWR : O_RDONLY;
    int fd = -1;
    do {
        fd = ::open(name.constData(), mode | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        fail(error == ENOENT || error == ENOTDIR ? Status::Missing
             : error == EISDIR                   ? Status::Folder
                                                 : Status::Failed,
             error);
        return;
    }
    fd_ = fd;
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        const int error = errno;
        close();
        fail(Status::Failed, error);
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        close();
        if (S_ISDIR(info.st_mode)) {
            fail(Status::Folder, EISDIR);
        } else {
            status_ = Status::NotRegular;
            error_ = QStringLiteral("Not a regular file");
        }
        return;
    }
    // Regular files never block on open; reads and writes may wait as usual.
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = errno;
        close();
        fail(Status::Failed, error);
        return;
    }
    size_ = info.st_size;
    status_ = Status::Open;
}

RegularFile::~RegularFile()
{
    close();
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      status_(std::exchange(other.status_, Status::Failed)),
      error_(std::move(other.error_)),
      size_(std::exchange(other.size_, 0))
{
}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        status_ = std::exchange(other.status_, Status::Failed);
        error_ = std::move(other.error_);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void RegularFile::fail(Status status, int error)
{
    status_ = status;
    error_ = QString::fromLocal8Bit(std::strerror(error));
}

void RegularFile::close()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::int64_t RegularFile::currentSize() const
{
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0) {
        return -1;
    }
    return info.st_size;
}

std::int64_t RegularFile::readAt(std::int64_t offset, void* out, std::size_t count) const
{
    if (fd_ < 0 || offset < 0) {
        return -1;
    }
    auto* bytes = static_cast<char*>(out);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(fd_, bytes + done, count - done,
                                    static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

bool RegularFile::writeAt(std::int64_t offset, const void* data, std::size_t count) const
{
    if (fd_ < 0 || offset < 0) {
        return false;
    }
    const auto* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t put = ::pwrite(fd_, bytes + done, count - done,
                                     static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

RegularFile::Appended RegularFile::append(const void* data, std::size_t count) const
{
    Appended result;
    const int flags = fd_ >= 0 ? ::fcntl(fd_, F_GETFL) : -1;
    if (flags < 0 || ::fcntl(fd_, F_SETFL, flags | O_APPEND) != 0) {
        return result;
    }
    // One write: its bytes land together, where the end was at that moment.
    ssize_t put = -1;
    do {
        put = ::write(fd_, data, count);
    } while (put < 0 && errno == EINTR);
    const int writeError = errno;
    if (put > 0) {
        const off_t end = ::lseek(fd_, 0, SEEK_CUR);
        if (end >= put) {
            result.offset = end - put;
            result.bytes = static_cast<std::size_t>(put);
        }
    }
    ::fcntl(fd_, F_SETFL, flags);
    errno = writeError;
    return result;
}

bool RegularFile::truncate(std::int64_t length) const
{
    if (fd_ < 0 || length < 0) {
        return false;
    }
    int result = -1;
    do {
        result = ::ftruncate(fd_, static_cast<off_t>(length));
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

std::optional<QByteArray> RegularFile::readAll(std::int64_t limit) const
{
    const std::int64_t size = currentSize();
    if (size < 0 || size > limit) {
        return std::nullopt;
    }
    // One byte more than the length tells a file that grew meanwhile.
    QByteArray bytes(static_cast<qsizetype>(size) + 1, '\0');
    const std::int64_t got = readAt(0, bytes.data(), static_cast<std::size_t>(bytes.size()));
    if (got < 0 || got > size) {
        return std::nullopt;
    }
    bytes.truncate(static_cast<qsizetype>(got));
    return bytes;
}
