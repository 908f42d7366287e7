#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// The four texts of one "story"; a child the story lacks has no value.
struct FeedStory {
    std::optional<QString> title;
    std::optional<QString> url;
    std::optional<QString> time;
    std::optional<QString> author;
};

// Bounds that keep a hostile or broken document from costing time or memory.
struct FeedLimits {
    int maxDepth = 64;
    int maxStories = 1000;
    // Characters of text the document may produce, entity expansion included.
    qsizetype maxText = 4 * 1024 * 1024;
};

// Reads the headline document: the "story" children of the root element and,
// of each, the text content of its first "title", "url", "time" and "author"
// child. Nothing else in the document is read.
class FeedParser {
public:
    // The stories in document order, or nothing when the document is not
    // well-formed XML, declares entities, or exceeds the limits.
    static std::optional<std::vector<FeedStory>> parse(const QByteArray& document,
                                                       const FeedLimits& limits = {});
};
