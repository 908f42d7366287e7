// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/TagWriter.h"

#include "files/RegularFile.h"
#include "tags/InPlaceTagWrite.h"

#include <QCoreApplication>
#include <QFileDevice>

namespace {

QString text(const char* source)
{
    return QCoreApplication::translate("TagWriter", source);
}

TagWriteResult failure(TagWriteStatus status, QString description)
{
    return {status, std::move(description)};
}

}  // namespace

TagWriter::TagWriter(Opener opener) : opener_(std::move(opener)) {}

TagWriteResult TagWriter::write(const TagEditState& read, const Id3v1Tag& edited) const
{
    const std::optional<QByteArray> bytes = edited.toBytes();
    if (!bytes) {
        return failure(TagWriteStatus::NotEncodable,
                       text("A character of the tag cannot be stored (ISO-8859-1 only)."));
    }
    if (opener_) {
        return writeDevice(read, *bytes);
    }
    const RegularFile file(read.path, RegularFile::Access::ReadWrite);
    if (!file.isOpen()) {
        return failure(TagWriteStatus::CannotOpen, file.errorString());
    }
    return InPlaceTagWrite().write(file, read, *bytes);
}

TagWriteResult TagWriter::writeDevice(const TagEditState& read, const QByteArray& bytes) const
{
    const std::unique_ptr<QIODevice> device = opener_(read.path);
    if (device == nullptr || !device->isOpen() || !device->isWritable()) {
        const bool hasReason =
            device != nullptr && !device->isOpen() && !device->errorString().isEmpty();
        return failure(
            TagWriteStatus::CannotOpen,
            hasReason ? device->errorString() : text("The file cannot be opened for writing."));
    }
    if (!stillAsRead(*device, read)) {
        return failure(TagWriteStatus::FileChanged,
                       text("The file has changed since its tag was read."));
    }
    const qint64 offset = read.hasTag ? read.length - Id3v1Tag::kSize : read.length;
    if (!putTag(*device, offset, bytes)) {
        const QString reason = device->errorString();
        putBack(*device, read);
        return failure(TagWriteStatus::WriteFailed, reason);
    }
    device->close();
    return {};
}

bool TagWriter::stillAsRead(QIODevice& device, const TagEditState& read)
{
    if (read.length < Id3v1Tag::kSize || read.tail.size() != Id3v1Tag::kSize ||
        device.size() != read.length || !device.seek(read.length - Id3v1Tag::kSize)) {
        return false;
    }
    return device.read(Id3v1Tag::kSize) == read.tail;
}

bool TagWriter::putTag(QIODevice& device, qint64 offset, const QByteArray& bytes)
{
    if (!device.seek(offset) || device.write(bytes) != bytes.size()) {
        return false;
    }
    auto* file = qobject_cast<QFileDevice*>(&device);
    return file == nullptr || (file->flush() && file->error() == QFileDevice::NoError);
}

// Best effort after a failed write: the old tag bytes, or the old length.
void TagWriter::putBack(QIODevice& device, const TagEditState& read)
{
    auto* file = qobject_cast<QFileDevice*>(&device);
    if (file != nullptr) {
        file->unsetError();
    }
    if (read.hasTag) {
        if (device.seek(read.length - Id3v1Tag::kSize)) {
            device.write(read.tail);
        }
    } else if (file != nullptr) {
        file->resize(read.length);
    }
    if (file != nullptr) {
        file->flush();
    }
}
