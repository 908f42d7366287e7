// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>

// A user-named file, opened only when it is a regular file. The open cannot
// block on a FIFO or a device (O_NONBLOCK), and the check is made on the
// opened descriptor (fstat), so nothing can swap the file in between; then
// reads and writes block again as usual. The name is handed over as the bytes
// it stands for (NativePath). Closed when the object goes.
// Any thread; one thread at a time per object.
class RegularFile {
public:
    enum class Access { Read, ReadWrite };
    enum class Status { Open, Missing, Folder, NotRegular, Failed };

    RegularFile() = default;
    RegularFile(const QString& path, Access access);
    ~RegularFile();
    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    Status status() const { return status_; }
    // Why the file is not open, for a message.
    const QString& errorString() const { return error_; }
    int descriptor() const { return fd_; }
    // The length when it was opened.
    std::int64_t size() const { return size_; }
    // The length now; -1 when it cannot be had.
    std::int64_t currentSize() const;

    // Reads up to `count` bytes at `offset` (fewer only at the end of the
    // file); -1 on a failure.
    std::int64_t readAt(std::int64_t offset, void* out, std::size_t count) const;
    // Writes all `count` bytes at `offset`; false when not all were written.
    bool writeAt(std::int64_t offset, const void* data, std::size_t count) const;

    struct Appended {
        std::int64_t offset = -1;  // where the first byte went
        std::size_t bytes = 0;     // fewer than asked on a failure
    };
    // Writes at the end of the file, wherever that is by the time of the
    // write (O_APPEND): what another program appends meanwhile is never
    // overwritten.
    Appended append(const void* data, std::size_t count) const;
    bool truncate(std::int64_t length) const;
    // The whole file, or nothing when it is longer than `limit` bytes or a
    // read fails.
    std::optional<QByteArray> readAll(std::int64_t limit) const;

private:
    void fail(Status status, int error);
    void close();

    int fd_ = -1;
    Status status_ = Status::Failed;
    QString error_;
    std::int64_t size_ = 0;
};
