// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <optional>

class QXmlStreamReader;

// The shapes of headline document the parser reads, told apart by the root.
enum class FeedKind {
    // Any root holding "story" children (the classic headline document).
    Backslash,
    // rss/channel/item (RSS 0.9x and 2.0).
    Rss,
    // rdf:RDF holding namespaced item elements (RSS 1.0 and 0.90).
    Rdf,
    // feed/entry (Atom 1.0 and 0.3).
    Atom,
};

// What a child of an item stands for. The fallbacks count only where the
// item lacks the field itself.
enum class FeedField {
    Title,
    TitleFallback,
    Url,
    UrlFallback,
    Date,
    DateFallback,
    Author,
    AuthorFallback,
    // Atom's author element, whose "name" child is the author.
    AuthorGroup,
};

// How a title element carries its text.
struct TitleForm {
    enum class Markup {
        Text,
        // Escaped HTML: the element's text is markup.
        Html,
        // XHTML elements inside the title.
        Xhtml,
    };
    Markup markup = Markup::Text;
    // The text is base64 of UTF-8 (Atom 0.3's mode="base64").
    bool base64 = false;
};

// Where the elements of one kind of document keep their items and fields.
// Each query looks at the reader's current start element.
class FeedFormat {
public:
    struct Field {
        FeedField field;
        // The value is the element's href attribute, not its text.
        bool fromHref = false;
    };

    static FeedFormat fromRoot(const QXmlStreamReader& root);

    FeedKind kind() const { return kind_; }
    // Depth of the item elements; the root is at depth 1.
    int itemDepth() const { return kind_ == FeedKind::Rss ? 3 : 2; }
    // The element at depth 2 that holds the items, where there is one.
    bool holdsItems(const QXmlStreamReader& element) const;
    bool isItem(const QXmlStreamReader& element) const;
    // The field a child of an item stands for; insideAuthor for the
    // children of an AuthorGroup.
    std::optional<Field> fieldOf(const QXmlStreamReader& element, bool insideAuthor) const;
    // How a title element (or its stand-in) carries its text: RSS and RDF
    // titles are the escaped HTML that feeds put in them; Atom's say so.
    TitleForm titleForm(const QXmlStreamReader& title) const;

private:
    FeedFormat(FeedKind kind, QStringView itemNs) : kind_(kind), itemNs_(itemNs.toString()) {}

    // An element of RSS's own, in the namespace its root is in.
    bool isRss(const QXmlStreamReader& element, QStringView name) const;

    std::optional<Field> rssField(const QXmlStreamReader& element) const;
    std::optional<Field> rdfField(const QXmlStreamReader& element) const;
    std::optional<Field> atomField(const QXmlStreamReader& element, bool insideAuthor) const;

    FeedKind kind_;
    // RSS 2.0's elements are in no namespace, or all in Userland's.
    QString itemNs_;
};
