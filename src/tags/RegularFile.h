#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// A user's file opened for reading only when it is a regular file: the open
// does not block on a FIFO or device (O_NONBLOCK), and the descriptor itself
// is checked afterwards, so nothing can swap the path in between. Any thread.
class RegularFile {
public:
    static std::optional<RegularFile> open(const QString& path);

    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    int descriptor() const { return fd_; }
    // The length when it was opened.
    qint64 size() const { return size_; }
    // Up to length bytes from offset; fewer at the end of the file, none on
    // a read error.
    QByteArray readAt(qint64 offset, qint64 length) const;

private:
    RegularFile(int fd, qint64 size) : fd_(fd), size_(size) {}

    int fd_ = -1;
    qint64 size_ = 0;
};
