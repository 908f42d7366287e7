// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/cSlashdot.h"

#include "common/LocalHttpServer.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <optional>
#include <stdexcept>

using namespace std::chrono_literals;

namespace {

QByteArray story(const QByteArray& title, const QByteArray& url, const QByteArray& time,
                 const QByteArray& author)
{
    return "<story><title>" + title + "</title><url>" + url + "</url><time>" + time +
           "</time><author>" + author + "</author><comments>12</comments></story>\n";
}

QByteArray document(const QByteArray& stories)
{
    return "<?xml version=\"1.0\"?>\n<backslash>\n" + stories + "</backslash>\n";
}

const QByteArray kThreeStories =
    document(story("First", "http://x/1", "2001-05-01 10:00:00", "ann") +
             story("Second", "http://x/2", "2001-05-01 11:00:00", "bob") +
             story("Third", "http://x/3", "2001-05-01 12:00:00", "cy"));

// Runs one fetch to its end; nothing when finished() did not come in time.
std::optional<bool> fetch(cSlashdot& feed, std::chrono::milliseconds wait = 8s)
{
    std::optional<bool> outcome;
    int emitted = 0;
    QObject::connect(&feed, &cSlashdot::finished, [&](bool complete) {
        outcome = complete;
        ++emitted;
    });
    if (!feed.RetieveArticles()) {
        return std::nullopt;
    }
    EXPECT_FALSE(outcome.has_value()) << "finished() must not come from inside the call";
    testing_support::waitUntil([&] { return outcome.has_value(); }, wait);
    // A late second signal would be a fault too.
    testing_support::pumpFor(20ms);
    EXPECT_LE(emitted, 1);
    QObject::disconnect(&feed, &cSlashdot::finished, nullptr, nullptr);
    return outcome;
}

void expectNothingStored(const cSlashdot& feed)
{
    EXPECT_EQ(feed.ArticleCount(), 0);
    EXPECT_EQ(feed.articles().Count(), 0);
    EXPECT_THROW(feed.GetArticle(1), std::out_of_range);
}

}  // namespace

TEST(cSlashdot, AsksForTheFeedPathWithBothNoCacheHeadersInOrder)
{
    LocalHttpServer server;
    server.serve(kThreeStories);
    cSlashdot feed(server.host());
    EXPECT_EQ(feed.url(), QStringLiteral("http://") + server.host() + "/slashdot.xml");
    ASSERT_EQ(fetch(feed), true);

    ASSERT_EQ(server.requests().size(), 1);
    const LocalHttpServer::Request& request = server.requests().front();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.path, "/slashdot.xml");
    int pragma = -1;
    int cacheControl = -1;
    for (int i = 0; i < request.headers.size(); ++i) {
        const QByteArray name = request.headers.at(i).first.toLower();
        if (name == "pragma") {
            EXPECT_EQ(pragma, -1) << "pragma sent twice";
            pragma = i;
            EXPECT_EQ(request.headers.at(i).second, "no-cache");
        } else if (name == "cache-control") {
            EXPECT_EQ(cacheControl, -1) << "cache-control sent twice";
            cacheControl = i;
            EXPECT_EQ(request.headers.at(i).second, "no-cache");
        }
    }
    ASSERT_GE(pragma, 0);
    ASSERT_GE(cacheControl, 0);
    EXPECT_LT(pragma, cacheControl);
}

TEST(cSlashdot, ThreeCompleteStoriesInDocumentOrder)
{
    LocalHttpServer server;
    server.serve(kThreeStories);
    cSlashdot feed(server.host());
    EXPECT_EQ(feed.ArticleCount(), 0);
    ASSERT_EQ(fetch(feed), true);
    EXPECT_TRUE(feed.lastResult());
    EXPECT_EQ(feed.ArticleCount(), 3);
    const auto first = feed.GetArticle(1);
    EXPECT_EQ(first->Title(), QStringLiteral("First"));
    EXPECT_EQ(first->Author(), QStringLiteral("ann"));
    EXPECT_EQ(first->Submitted(), QStringLiteral("2001-05-01 10:00:00"));
    EXPECT_EQ(first->Url(), QStringLiteral("http://x/1"));
    EXPECT_EQ(feed.GetArticle(2)->Title(), QStringLiteral("Second"));
    EXPECT_EQ(feed.GetArticle(3)->Title(), QStringLiteral("Third"));
    EXPECT_THROW(feed.GetArticle(0), std::out_of_range);
    EXPECT_THROW(feed.GetArticle(4), std::out_of_range);
}

TEST(cSlashdot, NoStoriesIsACompleteEmptyFetch)
{
    LocalHttpServer server;
    server.serve(document("<other>not a story</other>"));
    cSlashdot feed(server.host());
    ASSERT_EQ(fetch(feed), true);
    expectNothingStored(feed);
}

TEST(cSlashdot, ChildOrderInsideAStoryDoesNotMatter)
{
    LocalHttpServer server;
    server.serve(
        document(story("T", "U", "S", "A") +
                 "<story><author>A</author><url>U</url><title>T</title><time>S</time></story>"));
    cSlashdot feed(server.host());
    ASSERT_EQ(fetch(feed), true);
    ASSERT_EQ(feed.ArticleCount(), 2);
    for (int i : {1, 2}) {
        const auto article = feed.GetArticle(i);
        EXPECT_EQ(article->Title(), QStringLiteral("T"));
        EXPECT_EQ(article->Url(), QStringLiteral("U"));
        EXPECT_EQ(article->Submitted(), QStringLiteral("S"));
        EXPECT_EQ(article->Author(), QStringLiteral("A"));
    }
}

TEST(cSlashdot, TitlesLoseSurroundingSpacesButKeepTabs)
{
    LocalHttpServer server;
    server.serve(document(story("  Spaced out  ", "u", "t", "a") +
                          story("Tab at the end\t", "u", "t", "a")));
    cSlashdot feed(server.host());
    ASSERT_EQ(fetch(feed), true);
    EXPECT_EQ(feed.GetArticle(1)->Title(), QStringLiteral("Spaced out"));
    EXPECT_EQ(feed.GetArticle(2)->Title(), QStringLiteral("Tab at the end\t"));
}

TEST(cSlashdot, AStoryWithoutAChildStopsTheRecordsButNotTheCount)
{
    LocalHttpServer server;
    server.serve(document(story("One", "u1", "t1", "a1") +
                          "<story><title>Two</title><time>t2</time><author>a2</author></story>" +
                          story("Three", "u3", "t3", "a3")));
    cSlashdot feed(server.host());
    ASSERT_EQ(fetch(feed), false);
    EXPECT_EQ(feed.ArticleCount(), 3);
    EXPECT_EQ(feed.articles().Count(), 1);
    EXPECT_EQ(feed.GetArticle(1)->Title(), QStringLiteral("One"));
    EXPECT_THROW(feed.GetArticle(2), std::out_of_range);
}

TEST(cSlashdot, ASecondFetchAppendsAndCountsOnlyTheLatestDocument)
{
    LocalHttpServer server;
    server.serve(kThreeStories);
    cSlashdot feed(server.host());
    ASSERT_EQ(fetch(feed), true);
    server.serve(document(story("Fourth", "u", "t", "a")));
    ASSERT_EQ(fetch(feed), true);
    EXPECT_EQ(feed.ArticleCount(), 1);
    EXPECT_EQ(feed.articles().Count(), 4);
    EXPECT_EQ(feed.GetArticle(4)->Title(), QStringLiteral("Fourth"));
}

TEST(cSlashdot, AFailureLeavesEarlierCountAndRecordsAlone)
{
    LocalHttpServer server;
    server.serve(kThreeStories);
    cSlashdot feed(server.host());
    ASSERT_EQ(fetch(feed), true);
    server.serve("<backslash><story>");
    ASSERT_EQ(fetch(feed), false);
    EXPECT_FALSE(feed.lastResult());
    EXPECT_EQ(feed.ArticleCount(), 3);
    EXPECT_EQ(feed.articles().Count(), 3);
}

TEST(cSlashdot, MalformedOrEmptyAnswersFailWithNothingStored)
{
    LocalHttpServer server;
    const QList<LocalHttpServer::Answer> answers = {
        LocalHttpServer::ok("<backslash><story><title>x</story></backslash>"),
        LocalHttpServer::ok("This is not XML at all"),
        LocalHttpServer::ok(QByteArray()),
        [] {
            LocalHttpServer::Answer hangUp;
            hangUp.hangUp = true;
            return hangUp;
        }(),
    };
    for (qsizetype i = 0; i < answers.size(); ++i) {
        SCOPED_TRACE(i);
        server.setHandler([&](const LocalHttpServer::Request&) { return answers.at(i); });
        cSlashdot feed(server.host());
        ASSERT_EQ(fetch(feed), false);
        expectNothingStored(feed);
    }
}

TEST(cSlashdot, TheStatusCodeIsNotExamined)
{
    LocalHttpServer server;
    server.setHandler([](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer = LocalHttpServer::ok(kThreeStories);
        answer.status = 404;
        return answer;
    });
    cSlashdot feed(server.host());
    ASSERT_EQ(fetch(feed), true);
    EXPECT_EQ(feed.ArticleCount(), 3);
}

TEST(cSlashdot, NoServerAtAllFails)
{
    quint16 port = 0;
    {
        LocalHttpServer closed;
        port = closed.port();
    }
    cSlashdot feed(QStringLiteral("127.0.0.1:%1").arg(port));
    ASSERT_EQ(fetch(feed), false);
    expectNothingStored(feed);
}

TEST(cSlashdot, AServerThatNeverAnswersTimesOut)
{
    LocalHttpServer server([](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer;
        answer.silent = true;
        return answer;
    });
    cSlashdot feed(server.host());
    feed.setTimeout(300ms);
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(fetch(feed, 5s), false);
    EXPECT_GE(clock.elapsed(), 250);
    expectNothingStored(feed);
}

TEST(cSlashdot, TheTimeoutCoversASlowAnswerToo)
{
    LocalHttpServer server([](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer = LocalHttpServer::ok(kThreeStories);
        answer.delay = 1500ms;
        return answer;
    });
    cSlashdot feed(server.host());
    feed.setTimeout(200ms);
    ASSERT_EQ(fetch(feed, 5s), false);
    expectNothingStored(feed);
}

TEST(cSlashdot, ABodyOverTwoMebibytesFails)
{
    // Well-formed, so only the size can make it fail.
    QByteArray filler(3 * 1024 * 1024, 'x');
    LocalHttpServer server;
    server.serve(document(story("t", "u", "s", "a") + "<pad>" + filler + "</pad>"));
    cSlashdot feed(server.host());
    ASSERT_EQ(fetch(feed), false);
    expectNothingStored(feed);

    // The same without a length announced up front.
    server.setHandler([&](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer = LocalHttpServer::ok(document("<pad>" + filler + "</pad>"));
        answer.noLength = true;
        return answer;
    });
    ASSERT_EQ(fetch(feed), false);
}

TEST(cSlashdot, ABodyJustUnderTheCapIsRead)
{
    const QByteArray head = document(story("t", "u", "s", "a") + "<pad>");
    const QByteArray tail = "</pad></backslash>\n";
    QByteArray body = head;
    body.chop(QByteArray("</backslash>\n").size());
    body += QByteArray(cSlashdot::MaxBodyBytes - body.size() - tail.size(), 'x') + tail;
    ASSERT_EQ(body.size(), cSlashdot::MaxBodyBytes);
    LocalHttpServer server;
    server.setHandler([&](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer = LocalHttpServer::ok(body);
        answer.noLength = true;
        return answer;
    });
    cSlashdot feed(server.host());
    ASSERT_EQ(fetch(feed), true);
    EXPECT_EQ(feed.ArticleCount(), 1);
}

TEST(cSlashdot, ACompressedBodyCountsAtItsUnpackedSize)
{
    // A few KiB on the wire, 8 MiB unpacked.
    const QByteArray unpacked = document("<pad>" + QByteArray(8 * 1024 * 1024, 'x') + "</pad>");
    QByteArray body = kThreeStories;
    LocalHttpServer server([&](const LocalHttpServer::Request&) {
        // zlib stream without qCompress's size prefix
        LocalHttpServer::Answer answer = LocalHttpServer::ok(qCompress(body, 9).mid(4));
        answer.headers.append(qMakePair(QByteArray("Content-Encoding"), QByteArray("deflate")));
        return answer;
    });
    cSlashdot small(server.host());
    ASSERT_EQ(fetch(small), true);
    EXPECT_EQ(small.ArticleCount(), 3);

    body = unpacked;
    cSlashdot feed(server.host());
    ASSERT_EQ(fetch(feed), false);
    expectNothingStored(feed);
}

TEST(cSlashdot, AnEntityExpansionBombFailsQuickly)
{
    QByteArray dtd = "<!DOCTYPE backslash [<!ENTITY l0 \"lollollollollollollollollol\">";
    for (int i = 1; i <= 9; ++i) {
        dtd += "<!ENTITY l" + QByteArray::number(i) + " \"";
        for (int j = 0; j < 10; ++j) {
            dtd += "&l" + QByteArray::number(i - 1) + ";";
        }
        dtd += "\">";
    }
    dtd += "]>";
    LocalHttpServer server;
    server.serve("<?xml version=\"1.0\"?>" + dtd +
                 "<backslash><story><title>&l9;</title><url>u</url><time>t</time>"
                 "<author>a</author></story></backslash>");
    cSlashdot feed(server.host());
    ASSERT_EQ(fetch(feed), false);
    expectNothingStored(feed);
}

TEST(cSlashdot, DeepNestingFailsFast)
{
    QByteArray body;
    body.reserve(100000 * 7 + 32);
    body += "<backslash>";
    for (int i = 0; i < 100000; ++i) {
        body += "<a>";
    }
    for (int i = 0; i < 100000; ++i) {
        body += "</a>";
    }
    body += "</backslash>";
    LocalHttpServer server;
    server.serve(body);
    cSlashdot feed(server.host());
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(fetch(feed, 8s), false);
    // Generous: a quadratic parser would need minutes here.
    EXPECT_LT(clock.elapsed(), 8000);
    expectNothingStored(feed);
}

TEST(cSlashdot, MoreThanAThousandStoriesKeepTheFirstThousand)
{
    QByteArray stories;
    for (int i = 1; i <= 1001; ++i) {
        stories += story("t" + QByteArray::number(i), "u", "s", "a");
    }
    LocalHttpServer server;
    server.serve(document(stories));
    cSlashdot feed(server.host());
    ASSERT_EQ(fetch(feed), true);
    EXPECT_EQ(feed.ArticleCount(), 1000);
    EXPECT_EQ(feed.articles().Count(), 1000);
    EXPECT_EQ(feed.GetArticle(1000)->Title(), QStringLiteral("t1000"));
}

TEST(cSlashdot, RedirectsAreFollowedUpToFive)
{
    LocalHttpServer server;
    server.setHandler([&](const LocalHttpServer::Request& request) {
        const int hop = request.path.mid(request.path.lastIndexOf('/') + 1).toInt();
        if (request.path == "/slashdot.xml") {
            return LocalHttpServer::redirect("/hop/1");
        }
        if (hop < 5) {
            return LocalHttpServer::redirect("/hop/" + QByteArray::number(hop + 1));
        }
        return LocalHttpServer::ok(kThreeStories);
    });
    cSlashdot feed(server.host());
    ASSERT_EQ(fetch(feed), true);
    EXPECT_EQ(server.requests().size(), 6);
    EXPECT_EQ(feed.ArticleCount(), 3);
}

TEST(cSlashdot, ARedirectLoopFails)
{
    LocalHttpServer server;
    server.setHandler(
        [](const LocalHttpServer::Request&) { return LocalHttpServer::redirect("/slashdot.xml"); });
    cSlashdot feed(server.host());
    ASSERT_EQ(fetch(feed), false);
    EXPECT_LE(server.requests().size(), cSlashdot::MaxRedirects + 1);
    expectNothingStored(feed);
}

TEST(cSlashdot, OnlyOneFetchRunsAtATimeAndTheClientMayBeDroppedFromItsSignal)
{
    LocalHttpServer server;
    server.setHandler([](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer = LocalHttpServer::ok(kThreeStories);
        answer.delay = 100ms;
        return answer;
    });
    auto feed = std::make_unique<cSlashdot>(server.host());
    std::optional<bool> outcome;
    QObject::connect(feed.get(), &cSlashdot::finished, [&](bool complete) {
        outcome = complete;
        feed.reset();
    });
    ASSERT_TRUE(feed->RetieveArticles());
    EXPECT_TRUE(feed->isFetching());
    EXPECT_FALSE(feed->RetieveArticles());
    ASSERT_TRUE(testing_support::waitUntil([&] { return outcome.has_value(); }));
    EXPECT_EQ(outcome, true);
    EXPECT_EQ(feed, nullptr);
    EXPECT_EQ(server.requests().size(), 1);
}

TEST(cSlashdot, DestroyingTheClientMidFetchIsQuiet)
{
    LocalHttpServer server([](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer;
        answer.silent = true;
        return answer;
    });
    bool signalled = false;
    {
        cSlashdot feed(server.host());
        QObject::connect(&feed, &cSlashdot::finished, [&] { signalled = true; });
        feed.RetieveArticles();
        testing_support::waitUntil([&] { return !server.requests().isEmpty(); }, 3s);
    }
    testing_support::pumpFor(50ms);
    EXPECT_FALSE(signalled);
}
