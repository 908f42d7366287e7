// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/TagEditState.h"
#include "tags/TagWriteResult.h"

#include <QByteArray>
#include <functional>

class RegularFile;

// Writes the 128 tag bytes into an opened song file: over its old tag at the
// offset that was checked, or appended (O_APPEND, so never over anything
// another program appended) where the checked end was. The file is checked
// on the same descriptor before and after the write; when it changed
// underneath, the write is undone (the old tag bytes put back, or the
// appended bytes cut off) as far as those bytes are still ours, and the
// write counts as failed. What remains open: another program's write into
// the same 128 bytes, or its append, in the moment between the check after
// the write and the undoing; and a program that cuts the file short in the
// moment between the last look at its length (just before the write) and
// the overwrite: POSIX has no write that cannot lengthen a file, so the
// write then grows it back.
// Any thread.
class InPlaceTagWrite {
public:
    // Tests run another "program" at the two moments of a race.
    struct Interleave {
        std::function<void()> afterCheck;
        std::function<void()> afterWrite;
    };

    InPlaceTagWrite() = default;
    explicit InPlaceTagWrite(Interleave interleave);

    TagWriteResult write(const RegularFile& file, const TagEditState& read,
                         const QByteArray& bytes) const;

private:
    TagWriteResult overwrite(const RegularFile& file, const TagEditState& read,
                             const QByteArray& bytes) const;
    TagWriteResult append(const RegularFile& file, const TagEditState& read,
                          const QByteArray& bytes) const;
    void run(const std::function<void()>& step) const;

    Interleave interleave_;
};
