#pragma once

#include <QByteArray>
#include <QStringList>

// The bytes of a .pyl playlist file: one entry per line, every line ending in
// CR LF, in the locale's 8-bit encoding, with no header and no escaping.
class PylFormat {
public:
    // Each entry is written with its surrounding spaces removed.
    static QByteArray encode(const QStringList& paths);
    // A line ends at CR LF or at a bare CR; a bare LF stays part of the line.
    // Lines are trimmed of spaces and empty ones are skipped.
    static QStringList decode(const QByteArray& bytes);
};
