#include "base/ReadRegularFile.h"

#include <QFile>
#include <array>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > maxBytes) {
        return std::nullopt;
    }
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(status.st_size));
    std::array<char, 65536> chunk{};
    qint64 got = 0;
    while ((got = file.read(chunk.data(), chunk.size())) > 0) {
        if (bytes.size() + got > maxBytes) {
            return std::nullopt;  // it grew past the limit while being read
        }
        bytes.append(chunk.data(), static_cast<qsizetype>(got));
    }
    if (got < 0) {
        return std::nullopt;
    }
    return bytes;
}
