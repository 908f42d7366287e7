#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

// Reads the lines of a .pyl playlist as its bytes come in, block by block:
// what it holds is the entries kept and one line. A line ends at CR LF or at
// a bare CR; a bare LF stays part of the line. Lines are trimmed of spaces and
// empty ones are skipped; a line of more than kMaxLineBytes is no path and is
// skipped too. Entries beyond kMaxEntries are not read.
class PylReader {
public:
    static constexpr qsizetype kMaxLineBytes = 4096;
    // Eight times what the radio can play (32,767 songs): enough for any
    // real list, and a 64 MiB file of short lines stays a few dozen MB.
    static constexpr qsizetype kMaxEntries = 262144;

    void feed(QByteArrayView bytes);
    // True once kMaxEntries are kept: the rest need not be fed.
    bool full() const { return entries_.size() >= kMaxEntries; }
    // The entries, the last unterminated line included.
    QStringList finish();

private:
    void take(QByteArrayView part);
    void endLine();

    QStringList entries_;
    QByteArray line_;
    bool overlong_ = false;
    bool afterCr_ = false;  // an LF next belongs to the CR that ended a line
};
