// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PlaylistText.h"

#include <QStringDecoder>
#include <algorithm>

namespace {

constexpr QByteArrayView kUtf8Mark{"\xEF\xBB\xBF"};

QString decode(QByteArrayView bytes, bool utf8Only)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError() && !utf8Only) {
        return QString::fromLatin1(bytes);
    }
    return text;
}

}  // namespace

std::vector<PlaylistText::Line> PlaylistText::lines(QByteArrayView bytes, bool utf8Only)
{
    if (bytes.startsWith(kUtf8Mark)) {
        bytes = bytes.sliced(kUtf8Mark.size());
        utf8Only = true;
    }
    PlaylistLines splitter;
    splitter.feed(bytes);
    std::vector<Line> lines;
    for (const PlaylistLines::Line& line : splitter.finish()) {
        QString text = decode(line.bytes, utf8Only).trimmed();
        if (!text.isEmpty()) {
            lines.push_back({line.number, std::move(text), false});
        }
    }
    for (const int number : splitter.overlong()) {
        lines.push_back({number, QString(), true});
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Line& a, const Line& b) { return a.number < b.number; });
    return lines;
}
