#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// A user's file opened for reading only when it is a regular file: the open
// does not block on a FIFO or device (O_NONBLOCK), and the descriptor itself
// is checked afterwards, so nothing can swap the path in between. Any thread.
class RegularSongFile {
public:
    static std::optional<RegularSongFile> open(const QString& path);

    RegularSongFile(RegularSongFile&& other) noexcept;
    RegularSongFile& operator=(RegularSongFile&& other) noexcept;
    RegularSongFile(const RegularSongFile&) = delete;
    RegularSongFile& operator=(const RegularSongFile&) = delete;
    ~RegularSongFile();

    int descriptor() const { return fd_; }
    // The length when it was opened.
    qint64 size() const { return size_; }
    // Up to length bytes from offset; fewer at the end of the file, none on
    // a read error.
    QByteArray readAt(qint64 offset, qint64 length) const;

private:
    RegularSongFile(int fd, qint64 size) : fd_(fd), size_(size) {}

    int fd_ = -1;
    qint64 size_ = 0;
};
