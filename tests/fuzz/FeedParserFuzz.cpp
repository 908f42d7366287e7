// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the headline parser. Each input is a whole headline
// document. Checks that parsing stays within its limits and that what one
// announcement reads of it is bounded: at most 20 headlines, each a prefix
// of its title of at most 300 characters.

#include "FuzzSupport.h"
#include "feed/FeedParser.h"
#include "feed/HeadlineLimit.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray document = fuzzInput(data, size);
    FeedLimits limits;
    limits.maxStories = 50;
    limits.maxDepth = 16;
    limits.maxText = 64 * 1024;
    const std::optional<std::vector<FeedStory>> stories = FeedParser::parse(document, limits);
    if (!stories) {
        return 0;
    }
    check(static_cast<int>(stories->size()) <= limits.maxStories);
    QStringList titles;
    for (const FeedStory& story : *stories) {
        check(!story.title || story.title->size() <= limits.maxText);
        titles.append(story.title.value_or(QString()));
    }
    const QStringList spoken = HeadlineLimit::limit(titles);
    check(spoken.size() == std::min<qsizetype>(titles.size(), HeadlineLimit::kMaxHeadlines));
    for (qsizetype i = 0; i < spoken.size(); ++i) {
        check(spoken.at(i).size() <= HeadlineLimit::kNearLength);
        check(titles.at(i).startsWith(spoken.at(i)));
        check(spoken.at(i).isEmpty() || !spoken.at(i).back().isHighSurrogate());
    }
    return 0;
}
