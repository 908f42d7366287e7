// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/HeadlineLimit.h"

QStringList HeadlineLimit::limit(const QStringList& titles)
{
    QStringList kept;
    const qsizetype count = std::min<qsizetype>(titles.size(), kMaxHeadlines);
    kept.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        kept.append(cut(titles.at(i)));
    }
    return kept;
}

QString HeadlineLimit::cut(const QString& title)
{
    if (title.size() <= kNearLength) {
        return title;
    }
    qsizetype end = kNearLength;
    // The cut goes before a space at or after which the next word starts.
    for (qsizetype at = kNearLength; at >= kNearLength - kSlack; --at) {
        if (title.at(at).isSpace()) {
            end = at;
            break;
        }
    }
    while (end > 0 && title.at(end - 1).isSpace()) {
        --end;
    }
    // Never half a character.
    if (end > 0 && title.at(end - 1).isHighSurrogate()) {
        --end;
    }
    return title.left(end);
}
