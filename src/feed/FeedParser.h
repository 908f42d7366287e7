// SPDX-License-Identifier: GPL-3.0-or-later
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
    // Stories past this many are left out; the first ones are kept.
    int maxStories = 1000;
    // Characters of text the document may produce, entity expansion included.
    qsizetype maxText = 4 * 1024 * 1024;
};

// Reads a headline document, recognised by its root element:
// - rss/channel/item (RSS 0.9x, 2.0, also in Userland's namespace), rdf:RDF
//   with namespaced items (RSS 1.0) and Atom's feed/entry: title, link, date
//   and author of each item with a title (or a dc:title), every field given
//   (empty where the item has none). Titles are the text a reader sees: RSS
//   and RDF titles are read as the escaped HTML feeds put in them, Atom's as
//   their type says (base64 decoded first);
// - any other root: its "story" children and, of each, the text content of
//   its first "title", "url", "time" and "author" child, nothing else.
// The document is mended first as LenientXml says (white space before the
// declaration, HTML's named references).
class FeedParser {
public:
    // The stories in document order, or nothing when the document is not
    // well-formed XML, declares entities, or exceeds the depth or text limit.
    static std::optional<std::vector<FeedStory>> parse(const QByteArray& document,
                                                       const FeedLimits& limits = {});
};
