// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PlaylistLines.h"

#include <algorithm>

namespace {

bool endsLine(char c)
{
    return c == '\r' || c == '\n';
}

}  // namespace

void PlaylistLines::feed(QByteArrayView bytes)
{
    const char* data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype at = 0;
    while (at < size && !full()) {
        if (afterCr_) {
            afterCr_ = false;
            if (data[at] == '\n') {
                ++at;
                continue;
            }
        }
        const char* end = std::find_if(data + at, data + size, endsLine);
        take(bytes.sliced(at, end - (data + at)));
        if (end == data + size) {
            break;
        }
        endLine();
        afterCr_ = *end == '\r';
        at = end - data + 1;
    }
}

std::vector<PlaylistLines::Line> PlaylistLines::finish()
{
    if (!full()) {
        endLine();
    }
    line_.clear();
    return std::move(lines_);
}

void PlaylistLines::take(QByteArrayView part)
{
    if (tooLong_) {
        return;
    }
    if (line_.size() + part.size() > kMaxLineBytes) {
        tooLong_ = true;
        line_.truncate(0);
        return;
    }
    line_.append(part);
}

void PlaylistLines::endLine()
{
    if (tooLong_) {
        overlong_.push_back(number_);
    } else {
        // Trimming the bytes is the same as trimming the text: 0x20 only ever
        // stands for a space in the 8-bit encodings used here.
        // A byte-order mark some editors put before the first line is no
        // part of its path.
        qsizetype begin = number_ == 1 && line_.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        qsizetype end = line_.size();
        while (begin < end && line_.at(begin) == ' ') {
            ++begin;
        }
        while (end > begin && line_.at(end - 1) == ' ') {
            --end;
        }
        if (end > begin) {
            lines_.push_back({number_, line_.sliced(begin, end - begin)});
        }
    }
    ++number_;
    tooLong_ = false;
    line_.truncate(0);
}
