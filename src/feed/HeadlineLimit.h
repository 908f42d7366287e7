// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// What one news announcement reads: a feed of hundreds of stories with
// endless titles would otherwise keep the radio talking for hours, holding
// the transport commands all that time.
class HeadlineLimit {
public:
    static constexpr int kMaxHeadlines = 20;
    static constexpr qsizetype kNearLength = 300;
    // A word boundary this far before kNearLength is still "near"; without
    // one the title is cut at kNearLength.
    static constexpr qsizetype kSlack = 100;

    // The first kMaxHeadlines titles, each cut().
    static QStringList limit(const QStringList& titles);
    // A title longer than kNearLength ends at the last word boundary at or
    // before it, without the spaces there.
    static QString cut(const QString& title);
};
