#include "feed/FeedParser.h"

#include <gtest/gtest.h>

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
