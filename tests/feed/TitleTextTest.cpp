// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/FeedParser.h"

#include "common/QStringPrinter.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

// What the voice is given for a title as feeds write it: RSS and RDF titles
// are the escaped HTML that feeds put in them, Atom's are what their type
// says, and the classic document's are plain text.
namespace {

QByteArray rss(const QByteArray& title)
{
    return "<rss version=\"2.0\"><channel><item><title>" + title +
           "</title></item></channel></rss>";
}

QByteArray rdf(const QByteArray& title)
{
    return "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
           "xmlns=\"http://purl.org/rss/1.0/\"><item><title>" +
           title + "</title></item></rdf:RDF>";
}

// `title` is the whole title element, attributes and all.
QByteArray atom(const QByteArray& title)
{
    return "<feed xmlns=\"http://www.w3.org/2005/Atom\"><entry>" + title + "</entry></feed>";
}

QByteArray atom03(const QByteArray& title)
{
    return "<feed version=\"0.3\" xmlns=\"http://purl.org/atom/ns#\"><entry>" + title +
           "</entry></feed>";
}

QByteArray backslash(const QByteArray& title)
{
    return "<backslash><story><title>" + title + "</title></story></backslash>";
}

}  // namespace

TEST(TitleText, TitlesAreSpokenAsTheirWritersMeantThem)
{
    const struct {
        const char* name;
        QByteArray document;
        const char* spoken;
    } rows[] = {
        // Entities, escaped once more as HTML in XML.
        {"double escaped apostrophe", rss("it&amp;apos;s correct"), "it's correct"},
        {"double escaped ampersand", rss("Rust &amp;amp; C++"), "Rust & C++"},
        {"double escaped names", rss("caf&amp;eacute; &amp;mdash; na&amp;iuml;ve"),
         "caf\u00e9 \u2014 na\u00efve"},
        {"names beyond Latin-1", rdf("&amp;alpha; &amp;rarr; &amp;Omega;"), "\u03b1 \u2192 \u03a9"},
        {"longest name", rss("&amp;CounterClockwiseContourIntegral;"), "\u2233"},
        {"double escaped numbers", rss("&amp;#8220;Quoted&amp;#x201D;"), "\u201cQuoted\u201d"},
        {"unknown name stays", rss("&amp;doesnotexist; stays"), "&doesnotexist; stays"},
        {"bare ampersand", rss("AT&amp;T &amp; R&amp;D"), "AT&T & R&D"},
        {"less-than as text", rss("1 &lt; 2 &amp;&amp; 3 &gt; 2"), "1 < 2 && 3 > 2"},
        // Markup.
        {"tags go", rss("&lt;b&gt;Big&lt;/b&gt; news"), "Big news"},
        {"script and style",
         rss("&lt;script&gt;alert('x')&lt;/script&gt;Safe &lt;style&gt;b "
             "{}&lt;/style&gt;title"),
         "Safe title"},
        {"quoted > in an attribute",
         atom("<title type=\"html\">&lt;a href=\"/x\" title=\"cat&gt;dog\"&gt;Pets&lt;/a&gt; "
              "win</title>"),
         "Pets win"},
        {"attributes in RSS", rss("&lt;img alt=\"a &gt; b\" src=\"x.png\"&gt;Photo"), "Photo"},
        {"blocks part words", atom("<title type=\"html\">one&lt;br&gt;two&lt;p&gt;three</title>"),
         "one two three"},
        {"inline joins", rss("un&lt;i&gt;believ&lt;/i&gt;able"), "unbelievable"},
        {"comment", rss("a &lt;!-- hidden --&gt;b"), "a b"},
        // CDATA is the same escaped HTML, written another way.
        {"cdata", rss("<![CDATA[Bold &amp; <b>brave</b>]]>"), "Bold & brave"},
        {"cdata with script", rss("<![CDATA[<script>x()</script>Quiet]]>"), "Quiet"},
        // Atom says what its titles hold.
        {"atom text", atom("<title type=\"text\">Plain &amp; simple &lt;tag&gt;</title>"),
         "Plain & simple <tag>"},
        {"atom default is text", atom("<title>a &amp;amp; b</title>"), "a &amp; b"},
        {"atom xhtml",
         atom("<title type=\"xhtml\"><div xmlns=\"http://www.w3.org/1999/xhtml\">"
              "An <em>xhtml</em><script>x()</script> title &amp; more</div></title>"),
         "An xhtml title & more"},
        {"atom 0.3 escaped html",
         atom03("<title type=\"text/html\" mode=\"escaped\">Caf&amp;eacute;</title>"), "Caf\u00e9"},
        // base64 of "Caf&eacute; <b>open</b>"
        {"atom 0.3 base64 html",
         atom03(
             "<title type=\"text/html\" mode=\"base64\">Q2FmJmVhY3V0ZTsgPGI+b3BlbjwvYj4=</title>"),
         "Caf\u00e9 open"},
        // base64 of "Plain <b>text</b>"
        {"atom 0.3 base64 text", atom03("<title mode=\"base64\">UGxhaW4gPGI+dGV4dDwvYj4=</title>"),
         "Plain <b>text</b>"},
        // The classic document's titles are its text content.
        {"backslash", backslash("Tom &amp;amp; Jerry <![CDATA[<b>]]>"), "Tom &amp; Jerry <b>"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto stories = FeedParser::parse(row.document);
        ASSERT_TRUE(stories.has_value());
        ASSERT_EQ(stories->size(), 1u);
        EXPECT_EQ(stories->front().title.value_or(QStringLiteral("(none)")),
                  QString::fromUtf8(row.spoken));
    }
}
