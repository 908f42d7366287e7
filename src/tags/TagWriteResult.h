// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

enum class TagWriteStatus {
    Written,
    NotEncodable,  // a text has a character outside ISO-8859-1
    CannotOpen,    // the file cannot be opened for writing
    FileChanged,   // length or last 128 bytes differ from what was read
    WriteFailed,   // writing the tag bytes failed; the old bytes were put back
};

// The outcome of writing a tag. A failure carries a description for the
// "Write Error" box, whose text is the description followed by
// "  File may be open?".
struct TagWriteResult {
    TagWriteStatus status = TagWriteStatus::Written;
    QString description;

    static constexpr const char* kTitle = "Write Error";

    bool ok() const { return status == TagWriteStatus::Written; }
    QString messageText() const { return description + QStringLiteral("  File may be open?"); }
};
