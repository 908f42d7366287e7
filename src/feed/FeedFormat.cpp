// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/FeedFormat.h"

#include <QXmlStreamReader>

namespace {

constexpr QStringView kRdfNs = u"http://www.w3.org/1999/02/22-rdf-syntax-ns#";
constexpr QStringView kRss10Ns = u"http://purl.org/rss/1.0/";
constexpr QStringView kRss090Ns = u"http://my.netscape.com/rdf/simple/0.9/";
constexpr QStringView kAtom10Ns = u"http://www.w3.org/2005/Atom";
constexpr QStringView kAtom03Ns = u"http://purl.org/atom/ns#";
constexpr QStringView kDublinCoreNs = u"http://purl.org/dc/elements/1.1/";
// RSS 2.0 as Userland first published it, with a namespace of its own, and
// where that text moved to.
constexpr QStringView kUserlandRssNs = u"http://backend.userland.com/rss2";
constexpr QStringView kHarvardRssNs = u"http://blogs.law.harvard.edu/tech/rss";

bool isRssNs(QStringView ns)
{
    return ns == kRss10Ns || ns == kRss090Ns;
}

bool isAtomNs(QStringView ns)
{
    return ns == kAtom10Ns || ns == kAtom03Ns;
}

bool isRss2Ns(QStringView ns)
{
    return ns.isEmpty() || ns == kUserlandRssNs || ns == kHarvardRssNs;
}

using Field = FeedFormat::Field;

// The Dublin Core elements an item may have; dc:title counts only where the
// item has no title of its own.
std::optional<Field> dublinCoreField(const QXmlStreamReader& element, FeedField date,
                                     FeedField author)
{
    if (element.namespaceUri() != kDublinCoreNs) {
        return std::nullopt;
    }
    if (element.name() == u"title") {
        return Field{FeedField::TitleFallback};
    }
    if (element.name() == u"date") {
        return Field{date};
    }
    if (element.name() == u"creator") {
        return Field{author};
    }
    return std::nullopt;
}

}  // namespace

FeedFormat FeedFormat::fromRoot(const QXmlStreamReader& root)
{
    const QStringView ns = root.namespaceUri();
    const QStringView name = root.name();
    if (isRss2Ns(ns) && name == u"rss") {
        return FeedFormat(FeedKind::Rss, ns);
    }
    if (ns == kRdfNs && name == u"RDF") {
        return FeedFormat(FeedKind::Rdf, {});
    }
    if (isAtomNs(ns) && name == u"feed") {
        return FeedFormat(FeedKind::Atom, {});
    }
    return FeedFormat(FeedKind::Backslash, {});
}

bool FeedFormat::isRss(const QXmlStreamReader& element, QStringView name) const
{
    return element.namespaceUri() == itemNs_ && element.name() == name;
}

bool FeedFormat::holdsItems(const QXmlStreamReader& element) const
{
    return kind_ == FeedKind::Rss && isRss(element, u"channel");
}

bool FeedFormat::isItem(const QXmlStreamReader& element) const
{
    switch (kind_) {
        case FeedKind::Backslash:
            return element.qualifiedName() == u"story";
        case FeedKind::Rss:
            return isRss(element, u"item");
        case FeedKind::Rdf:
            return isRssNs(element.namespaceUri()) && element.name() == u"item";
        case FeedKind::Atom:
            return isAtomNs(element.namespaceUri()) && element.name() == u"entry";
    }
    return false;
}

std::optional<FeedFormat::Field> FeedFormat::fieldOf(const QXmlStreamReader& element,
                                                     bool insideAuthor) const
{
    switch (kind_) {
        case FeedKind::Backslash: {
            // Names as written, prefix and all, as the classic document has them.
            const QStringView name = element.qualifiedName();
            if (insideAuthor) {
                return std::nullopt;
            }
            if (name == u"title") {
                return Field{FeedField::Title};
            }
            if (name == u"url") {
                return Field{FeedField::Url};
            }
            if (name == u"time") {
                return Field{FeedField::Date};
            }
            if (name == u"author") {
                return Field{FeedField::Author};
            }
            return std::nullopt;
        }
        case FeedKind::Rss:
            return insideAuthor ? std::nullopt : rssField(element);
        case FeedKind::Rdf:
            return insideAuthor ? std::nullopt : rdfField(element);
        case FeedKind::Atom:
            return atomField(element, insideAuthor);
    }
    return std::nullopt;
}

std::optional<FeedFormat::Field> FeedFormat::rssField(const QXmlStreamReader& element) const
{
    if (element.namespaceUri() != itemNs_) {
        return dublinCoreField(element, FeedField::DateFallback, FeedField::AuthorFallback);
    }
    const QStringView name = element.name();
    if (name == u"title") {
        return Field{FeedField::Title};
    }
    if (name == u"link") {
        return Field{FeedField::Url};
    }
    if (name == u"guid") {
        return Field{FeedField::UrlFallback};
    }
    if (name == u"pubDate") {
        return Field{FeedField::Date};
    }
    if (name == u"author") {
        return Field{FeedField::Author};
    }
    return std::nullopt;
}

std::optional<FeedFormat::Field> FeedFormat::rdfField(const QXmlStreamReader& element) const
{
    if (!isRssNs(element.namespaceUri())) {
        return dublinCoreField(element, FeedField::Date, FeedField::Author);
    }
    if (element.name() == u"title") {
        return Field{FeedField::Title};
    }
    if (element.name() == u"link") {
        return Field{FeedField::Url};
    }
    return std::nullopt;
}

std::optional<FeedFormat::Field> FeedFormat::atomField(const QXmlStreamReader& element,
                                                       bool insideAuthor) const
{
    if (!isAtomNs(element.namespaceUri())) {
        return std::nullopt;
    }
    const QStringView name = element.name();
    if (insideAuthor) {
        return name == u"name" ? std::optional<Field>(Field{FeedField::Author}) : std::nullopt;
    }
    if (name == u"title") {
        return Field{FeedField::Title};
    }
    if (name == u"link") {
        // The entry's own page; enclosures, "self" and the like are other things.
        const QXmlStreamAttributes attributes = element.attributes();
        const QStringView rel = attributes.value(QLatin1StringView("rel"));
        if (rel.isEmpty() || rel == u"alternate") {
            return Field{FeedField::Url, true};
        }
        return std::nullopt;
    }
    if (name == u"published" || name == u"issued") {
        return Field{FeedField::Date};
    }
    if (name == u"updated" || name == u"modified") {
        return Field{FeedField::DateFallback};
    }
    if (name == u"author") {
        return Field{FeedField::AuthorGroup};
    }
    return std::nullopt;
}

TitleForm FeedFormat::titleForm(const QXmlStreamReader& title) const
{
    switch (kind_) {
        case FeedKind::Backslash:
            return {};
        case FeedKind::Rss:
        case FeedKind::Rdf:
            return {TitleForm::Markup::Html};
        case FeedKind::Atom:
            break;
    }
    // Atom 1.0 names the kind ("text", "html", "xhtml"); Atom 0.3 gives a
    // MIME type and says with its mode whether the markup is escaped, inline
    // or base64.
    const QXmlStreamAttributes attributes = title.attributes();
    const QStringView type = attributes.value(QLatin1StringView("type"));
    const QStringView mode = attributes.value(QLatin1StringView("mode"));
    TitleForm form;
    form.base64 = mode == u"base64";
    if (type == u"html" || type == u"text/html") {
        form.markup = TitleForm::Markup::Html;
    } else if (type == u"xhtml" || type == u"application/xhtml+xml") {
        const bool inElements = !form.base64 && mode != u"escaped";
        form.markup = inElements ? TitleForm::Markup::Xhtml : TitleForm::Markup::Html;
    }
    return form;
}
