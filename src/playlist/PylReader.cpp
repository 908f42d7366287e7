#include "playlist/PylReader.h"

<<<<<<< HEAD
#include <algorithm>
=======
#include "files/NativePath.h"

#include <cstring>

void PylReader::feed(QByteArrayView bytes)
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
        const auto* cr = static_cast<const char*>(
            std::memchr(data + at, '\r', static_cast<std::size_t>(size - at)));
        const qsizetype end = cr != nullptr ? cr - data : size;
        take(bytes.sliced(at, end - at));
        if (cr == nullptr) {
            break;
        }
        endLine();
        afterCr_ = true;
        at = end + 1;
    }
}
>>>>>>> defects

QStringList PylReader::finish()
{
    QStringList entries;
    for (const PlaylistLines::Line& line : lines_.finish()) {
        entries.append(QString::fromLocal8Bit(line.bytes));
    }
    return entries;
}

std::vector<PlaylistEntry> PylReader::finishNumbered()
{
    std::vector<PlaylistEntry> entries;
    for (const PlaylistLines::Line& line : lines_.finish()) {
        entries.push_back({line.number, QString::fromLocal8Bit(line.bytes)});
    }
    for (const int number : lines_.overlong()) {
        entries.push_back({number, QString(), true});
    }
<<<<<<< HEAD
    std::stable_sort(
        entries.begin(), entries.end(),
        [](const PlaylistEntry& a, const PlaylistEntry& b) { return a.line < b.line; });
    return entries;
=======
    line_.append(part);
}

void PylReader::endLine()
{
    if (!overlong_) {
        // Trimming the bytes is the same as trimming the text: 0x20 only ever
        // stands for a space in the 8-bit encodings used here.
        qsizetype begin = 0;
        qsizetype end = line_.size();
        while (begin < end && line_.at(begin) == ' ') {
            ++begin;
        }
        while (end > begin && line_.at(end - 1) == ' ') {
            --end;
        }
        if (end > begin) {
            entries_.append(NativePath::fromBytes(line_.mid(begin, end - begin)));
        }
    }
    overlong_ = false;
    line_.truncate(0);
>>>>>>> defects
}
