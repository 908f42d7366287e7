#include "tags/DescriptorStream.h"

#include "tags/RegularSongFile.h"

#include <algorithm>

DescriptorStream::DescriptorStream(const RegularSongFile& file, QByteArray name)
    : file_(file), name_(std::move(name)), length_(static_cast<long>(file.size()))
{
}

TagLib::ByteVector DescriptorStream::readBlock(unsigned long length)
{
    const long available = std::max(0L, length_ - position_);
    const long wanted = static_cast<long>(std::min<unsigned long>(length, kMaxBlock));
    const QByteArray bytes = file_.readAt(position_, std::min(wanted, available));
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
    // TagLib may look before the start when it hunts for a footer.
    position_ = std::max(0L, base + offset);
}
