// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/FeedAddress.h"
#include "feed/cSlashdot.h"

#include "common/LocalHttpServer.h"
#include "common/TestCertificate.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <QSslConfiguration>
#include <QSslSocket>
#include <optional>
#include <vector>

using namespace std::chrono_literals;

namespace {

struct Expected {
    QString title;
    QString url;
    QString submitted;
    QString author;
};

struct FeedCase {
    const char* name;
    QString path;
    // "PORT" is replaced by the server's port.
    QByteArray body;
    std::vector<Expected> articles;
};

const QByteArray kRss2 = R"(<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0" xmlns:dc="http://purl.org/dc/elements/1.1/">
 <channel>
  <title>The channel, no headline</title>
  <link>http://site/</link>
  <item>
   <title>First from RSS</title><link>http://site/1</link>
   <pubDate>Mon, 01 Jan 2024 10:00:00 GMT</pubDate><author>ann@site (Ann)</author>
  </item>
  <item>
   <title>Second
      from RSS</title>
   <guid>http://site/2</guid><dc:date>2024-01-02</dc:date><dc:creator>Bob</dc:creator>
  </item>
  <item><description>No title, nothing to read</description></item>
 </channel>
</rss>
)";

// RSS 0.91 names its DTD, which must never be fetched; the DTD's HTML
// entities still read as their characters.
const QByteArray kRss091 = R"(<?xml version="1.0" encoding="ISO-8859-1"?>
<!DOCTYPE rss PUBLIC "-//Netscape Communications//DTD RSS 0.91//EN"
 "http://127.0.0.1:PORT/rss-0.91.dtd">
<rss version="0.91"><channel><title>Old</title><language>en</language>
 <item><title>Caf&eacute; &amp; more</title><link>http://site/c</link></item>
</channel></rss>
)";

const QByteArray kRdf = R"(<?xml version="1.0"?>
<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"
         xmlns="http://purl.org/rss/1.0/" xmlns:dc="http://purl.org/dc/elements/1.1/">
 <channel rdf:about="http://site/">
  <title>The channel</title><link>http://site/</link>
  <items><rdf:Seq><rdf:li rdf:resource="http://site/r1"/></rdf:Seq></items>
 </channel>
 <item rdf:about="http://site/r1">
  <title>First from RDF</title><link>http://site/r1</link>
  <dc:date>2024-02-02T10:00:00Z</dc:date><dc:creator>Cy</dc:creator>
 </item>
 <item rdf:about="http://site/r2"><title>Second from RDF</title><link>http://site/r2</link></item>
</rdf:RDF>
)";

const QByteArray kAtom = R"(<?xml version="1.0" encoding="utf-8"?>
<feed xmlns="http://www.w3.org/2005/Atom">
 <title>The feed</title><author><name>Not an entry's author</name></author>
 <entry>
  <title type="html">Big &lt;b&gt;news&lt;/b&gt; &amp;amp; caf&amp;eacute;&lt;br/&gt;today</title>
  <link rel="enclosure" href="http://site/a1.mp3"/><link href="http://site/a1"/>
  <updated>2024-03-03T00:00:00Z</updated><published>2024-03-01T00:00:00Z</published>
  <author><name>Dee</name><email>dee@site</email></author>
 </entry>
 <entry>
  <title type="text">Plain &amp; simple &lt;tag&gt;</title>
  <link rel="alternate" href="http://site/a2"/><updated>2024-03-04T00:00:00Z</updated>
 </entry>
 <entry>
  <title type="xhtml"><div xmlns="http://www.w3.org/1999/xhtml">An <em>xhtml</em> title</div></title>
 </entry>
</feed>
)";

const QByteArray kBackslash = R"(<?xml version="1.0"?><backslash>
<story><title>Classic</title><url>http://site/s</url><time>2001-05-01 10:00:00</time>
<author>eve</author></story></backslash>
)";

const std::vector<FeedCase>& feedCases()
{
    static const std::vector<FeedCase> cases = {
        {"Rss2",
         "/rss.xml",
         kRss2,
         {{"First from RSS", "http://site/1", "Mon, 01 Jan 2024 10:00:00 GMT", "ann@site (Ann)"},
          {"Second from RSS", "http://site/2", "2024-01-02", "Bob"}}},
        {"Rss091",
         "/rss091.xml",
         kRss091,
         {{QString::fromUtf8("Caf\u00e9 & more"), "http://site/c", "", ""}}},
        {"Rdf",
         "/index.rdf",
         kRdf,
         {{"First from RDF", "http://site/r1", "2024-02-02T10:00:00Z", "Cy"},
          {"Second from RDF", "http://site/r2", "", ""}}},
        {"Atom",
         "/atom.xml",
         kAtom,
         {{QString::fromUtf8("Big news & caf\u00e9 today"), "http://site/a1",
           "2024-03-01T00:00:00Z", "Dee"},
          {"Plain & simple <tag>", "http://site/a2", "2024-03-04T00:00:00Z", ""},
          {"An xhtml title", "", "", ""}}},
        {"BackslashAtAnyPath",
         "/headlines.xml",
         kBackslash,
         {{"Classic", "http://site/s", "2001-05-01 10:00:00", "eve"}}},
    };
    return cases;
}

std::optional<bool> fetch(cSlashdot& feed)
{
    std::optional<bool> outcome;
    QObject::connect(&feed, &cSlashdot::finished, [&](bool complete) { outcome = complete; });
    if (!feed.RetieveArticles()) {
        return std::nullopt;
    }
    testing_support::waitUntil([&] { return outcome.has_value(); }, 8s);
    return outcome;
}

void expectArticles(const cSlashdot& feed, const std::vector<Expected>& expected)
{
    ASSERT_EQ(feed.ArticleCount(), static_cast<int>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const auto article = feed.GetArticle(static_cast<int>(i + 1));
        EXPECT_EQ(article->Title(), expected[i].title);
        EXPECT_EQ(article->Url(), expected[i].url);
        EXPECT_EQ(article->Submitted(), expected[i].submitted);
        EXPECT_EQ(article->Author(), expected[i].author);
    }
}

// Trusts one more certificate for the lifetime of the object.
class TrustedCertificate {
public:
    explicit TrustedCertificate(const QSslCertificate& certificate)
        : saved_(QSslConfiguration::defaultConfiguration())
    {
        QSslConfiguration configuration = saved_;
        configuration.addCaCertificate(certificate);
        QSslConfiguration::setDefaultConfiguration(configuration);
    }
    ~TrustedCertificate() { QSslConfiguration::setDefaultConfiguration(saved_); }
    TrustedCertificate(const TrustedCertificate&) = delete;
    TrustedCertificate& operator=(const TrustedCertificate&) = delete;

private:
    QSslConfiguration saved_;
};

}  // namespace

TEST(FeedKinds, EachKindOfDocumentGivesItsHeadlinesFromAUrl)
{
    LocalHttpServer server;
    for (const FeedCase& kind : feedCases()) {
        SCOPED_TRACE(kind.name);
        QByteArray body = kind.body;
        body.replace("PORT", QByteArray::number(server.port()));
        const qsizetype before = server.requests().size();
        server.serve(body);
        cSlashdot feed(server.url(kind.path));
        ASSERT_EQ(fetch(feed), true);
        expectArticles(feed, kind.articles);
        // One request, for the URL as given: no DTD or anything else fetched.
        ASSERT_EQ(server.requests().size(), before + 1);
        EXPECT_EQ(server.requests().back().path, kind.path.toUtf8());
    }
}

TEST(FeedKinds, HttpsUsesTheTlsBackendAndChecksTheCertificate)
{
    ASSERT_TRUE(QSslSocket::supportsSsl())
        << "no TLS backend: " << qPrintable(QSslSocket::activeBackend());
    const std::optional<LocalHttpServer::TlsIdentity> identity =
        testing_support::makeLocalCertificate();
    ASSERT_TRUE(identity.has_value()) << "the openssl tool could not make a certificate";
    LocalHttpServer server({}, *identity);
    server.serve(kRss2);

    // Unknown to the system's certificates: refused, nothing requested.
    cSlashdot untrusted(server.url(QStringLiteral("/rss.xml")));
    EXPECT_EQ(fetch(untrusted), false);
    EXPECT_EQ(untrusted.ArticleCount(), 0);
    EXPECT_TRUE(server.requests().isEmpty());

    const TrustedCertificate trust(identity->certificate);
    cSlashdot feed(server.url(QStringLiteral("/rss.xml")));
    ASSERT_EQ(fetch(feed), true);
    expectArticles(feed, feedCases().front().articles);
}

TEST(FeedKinds, OtherSchemesAreNoHeadlineSource)
{
    LocalHttpServer server;
    server.serve(kRss2);
    for (const QString& source :
         {QStringLiteral("file:///etc/hostname"), QStringLiteral("ftp://127.0.0.1/rss.xml"),
          QStringLiteral("http:///rss.xml")}) {
        SCOPED_TRACE(source.toStdString());
        cSlashdot feed(source);
        EXPECT_EQ(fetch(feed), false);
        EXPECT_EQ(feed.ArticleCount(), 0);
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST(FeedAddress, AcceptsHostNamesAndWebUrlsOnly)
{
    struct Row {
        const char* value;
        bool acceptable;
    };
    const Row rows[] = {
        {"slashdot.org", true},
        {"localhost", true},
        {"127.0.0.1:8080", true},
        {"[::1]:8080", true},
        {"news.example.co.uk", true},
        {"b\u00fccher.example", true},
        {"http://127.0.0.1:9/feed.xml", true},
        {"https://example.org/rss?x=1&y=2", true},
        {"HTTPS://Example.org/", true},
        {"", false},
        {"exa mple.org", false},
        {"example.org/feed.xml", false},
        {"-example.org", false},
        {"example..org", false},
        {"example.org:0", false},
        {"example.org:70000", false},
        {"example.org:port", false},
        {"[::1", false},
        {"http//example.org", false},
        {"ftp://example.org/feed.xml", false},
        {"file:///etc/passwd", false},
        {"http://", false},
        {"https:///feed.xml", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(FeedAddress::isAcceptable(QString::fromUtf8(row.value)), row.acceptable);
    }
}
