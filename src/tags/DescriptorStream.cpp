// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/DescriptorStream.h"

#include "files/RegularFile.h"

#include <algorithm>
#include <cstdint>
#include <limits>

DescriptorStream::DescriptorStream(const RegularFile& file, QByteArray name)
    : file_(file), name_(std::move(name)), length_(static_cast<long>(file.size()))
{
}

TagLib::ByteVector DescriptorStream::readBlock(unsigned long length)
{
    const long available = std::max(0L, length_ - position_);
    const long wanted = static_cast<long>(std::min<unsigned long>(length, kMaxBlock));
    QByteArray bytes(std::min(wanted, available), Qt::Uninitialized);
    const std::int64_t got =
        file_.readAt(position_, bytes.data(), static_cast<std::size_t>(bytes.size()));
    bytes.truncate(static_cast<qsizetype>(std::max<std::int64_t>(got, 0)));
    position_ += bytes.size();
    return TagLib::ByteVector(bytes.constData(), static_cast<unsigned int>(bytes.size()));
}

void DescriptorStream::seek(long offset, Position from)
{
    long base = 0;
    if (from == Current) {
        base = position_;
    } else if (from == End) {
        base = length_;
    }
    // TagLib may look before the start when it hunts for a footer, and a
    // damaged tag may ask for any offset: the sum saturates.
    long sum = 0;
    if (__builtin_add_overflow(base, offset, &sum)) {
        sum = offset > 0 ? std::numeric_limits<long>::max() : 0;
    }
    position_ = std::max(0L, sum);
}
