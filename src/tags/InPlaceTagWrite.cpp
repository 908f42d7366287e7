// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/InPlaceTagWrite.h"

#include "files/RegularFile.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstring>

namespace {

QString text(const char* source)
{
    return QCoreApplication::translate("TagWriter", source);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

TagWriteResult changed()
{
    return {TagWriteStatus::FileChanged, text("The file has changed since its tag was read.")};
}

// The 128 bytes at `offset`, or empty when they cannot be read whole.
QByteArray bytesAt(const RegularFile& file, qint64 offset)
{
    QByteArray bytes(Id3v1Tag::kSize, '\0');
    return file.readAt(offset, bytes.data(), Id3v1Tag::kSize) == Id3v1Tag::kSize ? bytes
                                                                                 : QByteArray();
}

// The file is `length` long and ends in `tail`.
bool endsAs(const RegularFile& file, qint64 length, const QByteArray& tail)
{
    return length >= Id3v1Tag::kSize && file.currentSize() == length &&
           bytesAt(file, length - Id3v1Tag::kSize) == tail;
}

}  // namespace

InPlaceTagWrite::InPlaceTagWrite(Interleave interleave) : interleave_(std::move(interleave)) {}

void InPlaceTagWrite::run(const std::function<void()>& step) const
{
    if (step) {
        step();
    }
}

TagWriteResult InPlaceTagWrite::write(const RegularFile& file, const TagEditState& read,
                                      const QByteArray& bytes) const
{
    if (read.tail.size() != Id3v1Tag::kSize || bytes.size() != Id3v1Tag::kSize ||
        !endsAs(file, read.length, read.tail)) {
        return changed();
    }
    run(interleave_.afterCheck);
    return read.hasTag ? overwrite(file, read, bytes) : append(file, read, bytes);
}

TagWriteResult InPlaceTagWrite::overwrite(const RegularFile& file, const TagEditState& read,
                                          const QByteArray& bytes) const
{
    const qint64 offset = read.length - Id3v1Tag::kSize;
    // A write at the old tag's place into a file that was cut short would
    // grow it back, the gap filled with zeros: the length is looked at once
    // more, the moment before the write.
    if (file.currentSize() != read.length) {
        return changed();
    }
    if (!file.writeAt(offset, bytes.constData(), Id3v1Tag::kSize)) {
        const int error = errno;
        file.writeAt(offset, read.tail.constData(), Id3v1Tag::kSize);
        return {TagWriteStatus::WriteFailed, systemError(error)};
    }
    run(interleave_.afterWrite);
    if (endsAs(file, read.length, bytes)) {
        return {};
    }
    // Bytes someone else wrote over ours are theirs to keep.
    if (bytesAt(file, offset) == bytes) {
        file.writeAt(offset, read.tail.constData(), Id3v1Tag::kSize);
    }
    return changed();
}

TagWriteResult InPlaceTagWrite::append(const RegularFile& file, const TagEditState& read,
                                       const QByteArray& bytes) const
{
    const RegularFile::Appended put = file.append(bytes.constData(), Id3v1Tag::kSize);
    const int error = errno;
    if (put.bytes == static_cast<std::size_t>(Id3v1Tag::kSize) && put.offset == read.length) {
        // The tag went exactly where the checked end was; what is appended
        // after it is later news. Bytes someone wrote over it are theirs.
        run(interleave_.afterWrite);
        return bytesAt(file, put.offset) == bytes ? TagWriteResult{} : changed();
    }
    // Something came in between: cut off what went in, as long as nothing
    // follows it.
    const auto ours = static_cast<qint64>(put.bytes);
    if (ours > 0 && file.currentSize() == put.offset + ours) {
        QByteArray landed(static_cast<qsizetype>(ours), '\0');
        if (file.readAt(put.offset, landed.data(), put.bytes) == ours &&
            landed == bytes.left(landed.size())) {
            file.truncate(put.offset);
        }
    }
    if (put.bytes == 0) {
        return {TagWriteStatus::WriteFailed, systemError(error)};
    }
    if (put.bytes < static_cast<std::size_t>(Id3v1Tag::kSize)) {
        return {TagWriteStatus::WriteFailed, text("Only part of the tag could be written.")};
    }
    return changed();
}
