// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/FeedParser.h"

#include "common/QStringPrinter.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <optional>

namespace {

QByteArray nested(int levels)
{
    QByteArray doc;
    doc.reserve(levels * 7);
    for (int i = 0; i < levels; ++i) {
        doc += "<a>";
    }
    for (int i = 0; i < levels; ++i) {
        doc += "</a>";
    }
    return doc;
}

QByteArray stories(int count)
{
    QByteArray doc = "<root>";
    for (int i = 0; i < count; ++i) {
        doc += "<story><title>t</title><url>u</url><time>x</time><author>a</author></story>";
    }
    return doc + "</root>";
}

}  // namespace

TEST(FeedParser, TextContentIncludesNestedTextAndCdataButNotComments)
{
    const auto result = FeedParser::parse(
        "<backslash><story><title>Big <b>news</b> &amp; <![CDATA[<more>]]><!-- no --></title>"
        "</story></backslash>");
    ASSERT_TRUE(result.has_value());
    ASSERT_EQ(result->size(), 1u);
    EXPECT_EQ(result->front().title, QStringLiteral("Big news & <more>"));
    EXPECT_FALSE(result->front().url.has_value());
}

TEST(FeedParser, FirstChildOfANameCountsAndOnlyDirectChildrenAreStories)
{
    const auto result = FeedParser::parse(
        "<r><story><title>first</title><title>second</title><x><url>deep</url></x></story>"
        "<group><story><title>not a story</title></story></group>"
        "<story><title/></story></r>");
    ASSERT_TRUE(result.has_value());
    ASSERT_EQ(result->size(), 2u);
    EXPECT_EQ(result->at(0).title, QStringLiteral("first"));
    EXPECT_FALSE(result->at(0).url.has_value());
    // An empty element is present, with empty text.
    EXPECT_EQ(result->at(1).title, QString());
}

TEST(FeedParser, TheRootMayBeAStoryOnlyInName)
{
    const auto result = FeedParser::parse("<story><title>x</title></story>");
    ASSERT_TRUE(result.has_value());
    EXPECT_TRUE(result->empty());
}

TEST(FeedParser, DepthLimitIsInclusive)
{
    EXPECT_TRUE(FeedParser::parse(nested(64)).has_value());
    EXPECT_FALSE(FeedParser::parse(nested(65)).has_value());
}

TEST(FeedParser, StoriesPastTheLimitAreLeftOut)
{
    EXPECT_EQ(FeedParser::parse(stories(1000))->size(), 1000u);
    EXPECT_EQ(FeedParser::parse(stories(1001))->size(), 1000u);
    // Still read to the end: a broken tail fails the document.
    QByteArray broken = stories(1001);
    broken.chop(3);
    EXPECT_FALSE(FeedParser::parse(broken).has_value());
}

TEST(FeedParser, DeclaredEntitiesAreRefusedEvenWhenHarmless)
{
    EXPECT_FALSE(FeedParser::parse("<!DOCTYPE r [<!ENTITY e \"x\">]><r><story><title>&e;</title>"
                                   "</story></r>")
                     .has_value());
    EXPECT_FALSE(FeedParser::parse("<!DOCTYPE rss SYSTEM \"x.dtd\" [<!ENTITY e \"x\">]><rss>"
                                   "<channel><item><title>&e;</title></item></channel></rss>")
                     .has_value());
    // A DTD without entities is fine.
    EXPECT_TRUE(FeedParser::parse("<!DOCTYPE r [<!ELEMENT r ANY>]><r/>").has_value());
}

TEST(FeedParser, TextBeyondTheLimitFails)
{
    FeedLimits limits;
    limits.maxText = 10;
    EXPECT_TRUE(FeedParser::parse("<r>0123456789</r>", limits).has_value());
    EXPECT_FALSE(FeedParser::parse("<r>0123456789A</r>", limits).has_value());
}

TEST(FeedParser, EncodingFromTheDeclarationIsHonoured)
{
    const auto result = FeedParser::parse(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r><story><title>caf\xe9</title>"
        "</story></r>");
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->front().title, QString::fromUtf8("caf\u00e9"));
}

TEST(FeedParser, MalformedAndEmptyDocumentsFail)
{
    EXPECT_FALSE(FeedParser::parse("").has_value());
    EXPECT_FALSE(FeedParser::parse("   ").has_value());
    EXPECT_FALSE(FeedParser::parse("<r><story></r>").has_value());
    EXPECT_FALSE(FeedParser::parse("<r></r><r2/>").has_value());
    EXPECT_FALSE(FeedParser::parse("<html><body>Not found</body>").has_value());
}

// Real feeds break XML in a few ways that cost nothing to accept; what guards
// against entity expansion stays refused.
TEST(FeedParser, FeedsAreReadAsWrittenWhereThatIsSafe)
{
    const QByteArray item = "<item><title>One</title></item>";
    const QByteArray rss2 = "<rss version=\"2.0\"><channel>" + item + "</channel></rss>";
    const QByteArray declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    const QByteArray rss091 =
        "<!DOCTYPE rss PUBLIC \"-//Netscape Communications//DTD RSS 0.91//EN\" "
        "\"http://my.netscape.com/publish/formats/rss-0.91.dtd\">";
    const struct {
        const char* name;
        QByteArray document;
        // No value: the document is refused.
        std::optional<QStringList> titles;
    } rows[] = {
        {"plain", declaration + rss2, QStringList{"One"}},
        {"blank line before the declaration", "\n" + declaration + "\n" + rss2, QStringList{"One"}},
        {"spaces and tabs before it", " \t\r\n" + declaration + rss2, QStringList{"One"}},
        {"byte-order mark", "\xEF\xBB\xBF" + declaration + rss2, QStringList{"One"}},
        {"mark then a blank line", "\xEF\xBB\xBF\r\n" + declaration + rss2, QStringList{"One"}},
        {"userland namespace",
         "<rss version=\"2.0\" xmlns=\"http://backend.userland.com/rss2\"><channel>" + item +
             "</channel></rss>",
         QStringList{"One"}},
        {"dc:title stands in",
         "<rss version=\"2.0\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><channel>"
         "<item><dc:title>From DC</dc:title></item>"
         "<item><dc:title>Not this</dc:title><title>Own</title></item></channel></rss>",
         QStringList{"From DC", "Own"}},
        {"rdf dc:title",
         "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
         "xmlns=\"http://purl.org/rss/1.0/\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
         "<item><dc:title>Only DC</dc:title></item></rdf:RDF>",
         QStringList{"Only DC"}},
        {"undeclared entities without a DTD",
         declaration + "<rss><channel><item><title>A&nbsp;caf&eacute; &mdash; "
                       "&amp;&lt;&gt;&quot;&apos;</title></item></channel></rss>",
         QStringList{QString::fromUtf8("A caf\u00e9 \u2014 &<>\"'")}},
        {"unknown entity without a DTD",
         "<rss><channel><item><title>&doesnotexist; &amp;x</title></item></channel></rss>",
         QStringList{"&doesnotexist; &x"}},
        {"outside DTD",
         declaration + rss091 +
             "<rss version=\"0.91\"><channel><item><title>&alpha; &rarr; &omega;&zwj; "
             "&doesnotexist;</title></item></channel></rss>",
         QStringList{QString::fromUtf8("\u03b1 \u2192 \u03c9\u200d &doesnotexist;")}},
        {"entities in attributes",
         "<feed xmlns=\"http://www.w3.org/2005/Atom\"><entry><title type=\"html\">T</title>"
         "<link href=\"http://x/?a=&eacute;\"/></entry></feed>",
         QStringList{"T"}},
        {"cdata keeps its references", "<r><story><title><![CDATA[&eacute;]]></title></story></r>",
         QStringList{"&eacute;"}},
        {"entity declaration", "<!DOCTYPE rss [<!ENTITY e \"x\">]>" + rss2, std::nullopt},
        {"entity declaration after an outside DTD",
         "\n<!DOCTYPE rss SYSTEM \"rss.dtd\" [<!ENTITY nbsp \"&#160;\">]>"
         "<rss><channel><item><title>&nbsp;</title></item></channel></rss>",
         std::nullopt},
        {"parameter entity", "<!DOCTYPE rss [<!ENTITY % p \"<!ENTITY e 'x'>\"> %p;]>" + rss2,
         std::nullopt},
        {"text before the declaration", "x" + declaration + rss2, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto stories = FeedParser::parse(row.document);
        EXPECT_EQ(stories.has_value(), row.titles.has_value());
        if (!stories || !row.titles) {
            continue;
        }
        QStringList titles;
        for (const FeedStory& story : *stories) {
            titles << story.title.value_or(QString());
        }
        EXPECT_EQ(titles, *row.titles);
    }
}
