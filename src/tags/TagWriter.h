// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/Id3v1Tag.h"
#include "tags/TagEditState.h"
#include "tags/TagWriteResult.h"

#include <QIODevice>
#include <functional>
#include <memory>

// Writes an edited tag back into the file it was read from. Only the 128
// tag bytes are written: over the old tag, or appended to a file that had
// none. A file whose length or last 128 bytes are no longer what was read
// (changed by another program meanwhile) is left alone. Only a regular file
// is opened, and the write goes through InPlaceTagWrite.
// Any thread; one file per call.
class TagWriter {
public:
    // Tests only: opens the "file" as a device for reading and writing. A
    // device that is not open counts as a failure to open, with its
    // errorString() as the reason.
    using Opener = std::function<std::unique_ptr<QIODevice>(const QString& path)>;

    TagWriter() = default;
    explicit TagWriter(Opener opener);

    TagWriteResult write(const TagEditState& read, const Id3v1Tag& edited) const;

private:
    TagWriteResult writeDevice(const TagEditState& read, const QByteArray& bytes) const;
    static bool stillAsRead(QIODevice& device, const TagEditState& read);
    static bool putTag(QIODevice& device, qint64 offset, const QByteArray& bytes);
    static void putBack(QIODevice& device, const TagEditState& read);

    Opener opener_;
};
