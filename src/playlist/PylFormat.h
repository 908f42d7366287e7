// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringList>

// The bytes of a .pyl playlist file: one entry per line, every line ending in
// CR LF, in the locale's 8-bit encoding, with no header and no escaping.
class PylFormat {
public:
    // Each entry is written with its surrounding spaces removed.
    static QByteArray encode(const QStringList& paths);
    // The entries of whole file bytes, read as PylReader reads them.
    static QStringList decode(const QByteArray& bytes);
};
