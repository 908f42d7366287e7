// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <taglib/tiostream.h>
#include <QByteArray>

class RegularFile;

// TagLib's view of a file we opened ourselves: read-only, and no single read
// larger than kMaxBlock, so a tag that claims hundreds of megabytes costs
// no more than that. Writes are ignored. Used on one thread at a time.
class DescriptorStream : public TagLib::IOStream {
public:
    static constexpr long kMaxBlock = 16 * 1024 * 1024;

    // name lends its extension to TagLib's choice of file type.
    DescriptorStream(const RegularFile& file, QByteArray name);

    TagLib::FileName name() const override { return name_.constData(); }
    TagLib::ByteVector readBlock(unsigned long length) override;
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return true; }
    void seek(long offset, Position from) override;
    long tell() const override { return position_; }
    long length() override { return length_; }
    void truncate(long) override {}

private:
    const RegularFile& file_;
    QByteArray name_;
    long length_;
    long position_ = 0;
};
