// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

// Splits the bytes of a playlist file into lines as they come in, block by
// block, as people write them: a line ends at CR LF, at a bare CR or at a
// bare LF. Lines are trimmed of spaces and empty ones are skipped; a line of
// more than kMaxLineBytes is no path and is skipped too, its number kept.
// Lines beyond kMaxLines are not read. Line numbers count every line of the
// file from 1, blank ones included.
class PlaylistLines {
public:
    static constexpr qsizetype kMaxLineBytes = 4096;
    // Eight times what the radio can play (32,767 songs): enough for any
    // real list, and a 64 MiB file of short lines stays a few dozen MB.
    static constexpr qsizetype kMaxLines = 262144;

    struct Line {
        int number = 0;
        QByteArray bytes;
    };

    void feed(QByteArrayView bytes);
    // True once kMaxLines are kept: the rest need not be fed.
    bool full() const { return static_cast<qsizetype>(lines_.size()) >= kMaxLines; }
    // The lines kept, the last unterminated one included.
    std::vector<Line> finish();
    // The numbers of the lines skipped for their length.
    const std::vector<int>& overlong() const { return overlong_; }

private:
    void take(QByteArrayView part);
    void endLine();

    std::vector<Line> lines_;
    std::vector<int> overlong_;
    QByteArray line_;
    int number_ = 1;
    bool tooLong_ = false;
    bool afterCr_ = false;  // an LF next belongs to the CR that ended a line
};
