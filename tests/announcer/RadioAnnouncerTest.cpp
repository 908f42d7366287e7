// SPDX-License-Identifier: GPL-3.0-or-later
#include "announcer/RadioAnnouncer.h"

#include "announcer/PhraseTable.h"
#include "base/RandomSource.h"
#include "common/FakeSpeechEngine.h"
#include "common/LocalHttpServer.h"
#include "common/TestSupport.h"
#include "playback/AcceptedPlaylist.h"
#include "settings/CRegSettings.h"
#include "settings/RadioSettings.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <array>
#include <cmath>

using namespace std::chrono_literals;

namespace {

QByteArray story(const QByteArray& title, const QByteArray& url = "http://x/")
{
    QByteArray children = "<title>" + title + "</title><time>t</time><author>a</author>";
    if (!url.isNull()) {
        children += "<url>" + url + "</url>";
    }
    return "<story>" + children + "</story>";
}

QByteArray feedOf(const QByteArray& stories)
{
    return "<backslash>" + stories + "</backslash>";
}

const QByteArray kThreeStories =
    feedOf(story("Penguins win the cup") + story("  Chips get smaller  ") + story("Tabs\t"));

const QString kNewsIntroEvening = QStringLiteral("Tonights tech headlines are as follows ...    ");

QString am()
{
    return QLocale::system().amText();
}
QString pm()
{
    return QLocale::system().pmText();
}

class RadioAnnouncerTest : public ::testing::Test {
protected:
    RadioAnnouncerTest()
    {
        random.setClock([this] { return ++seedTick; });
        announcer.setClock([this] { return now; });
        announcer.setNewsHost(server.host());
        QObject::connect(&announcer, &RadioAnnouncer::newsAnswered, [this] { ++answers; });
    }

    bool waitForNews(std::chrono::milliseconds timeout = 8s)
    {
        return testing_support::waitUntil([this] { return !announcer.newsPending(); }, timeout);
    }

    QString comment(int id) const { return phrases.text(id).value(); }

    RadioSettings settings;
    RandomSource random;
    FakeSpeechEngine voice;
    RadioAnnouncer announcer{settings, random, voice};
    LocalHttpServer server;
    PhraseTable phrases;
    QTime now{20, 5, 0};
    std::uint64_t seedTick = 0;
    int answers = 0;
};

}  // namespace

TEST_F(RadioAnnouncerTest, IntroIsThePhraseGluedToTheTimeOfDayWord)
{
    for (int i = 0; i < 2000 && announcer.IntroPick() != 3; ++i) {
        announcer.speakIntro();
    }
    ASSERT_EQ(announcer.IntroPick(), 3);
    EXPECT_EQ(voice.spoken.last(),
              QStringLiteral("All your bits are belong to Flurbo!  And now forTonights hits!"));
    EXPECT_EQ(announcer.SpeechText(), comment(1003));

    now = QTime(12, 0, 0);
    announcer.speakIntro();
    EXPECT_EQ(voice.spoken.last(), comment(1000 + announcer.IntroPick()) + " hits!");
    EXPECT_EQ(announcer.SpeechText(), comment(1000 + announcer.IntroPick()));
}

TEST_F(RadioAnnouncerTest, IntroReseedsFromTheClock)
{
    random.setClock([] { return 4242u; });
    RandomSource mirror;
    mirror.seed(4242);
    const int expected = static_cast<int>(std::nearbyint(mirror.next() * 15));
    random.seed(1);
    random.next();
    announcer.speakIntro();
    EXPECT_EQ(announcer.IntroPick(), expected);
    announcer.speakIntro();
    EXPECT_EQ(announcer.IntroPick(), expected);
}

TEST_F(RadioAnnouncerTest, IntroDrawCoversAllSixteenWithTheEndsHalfAsOften)
{
    std::array<int, 16> counts{};
    const int draws = 24000;
    for (int i = 0; i < draws; ++i) {
        announcer.speakIntro();
        ASSERT_GE(announcer.IntroPick(), 0);
        ASSERT_LE(announcer.IntroPick(), 15);
        ++counts[static_cast<std::size_t>(announcer.IntroPick())];
    }
    const double middle = draws / 15.0;
    for (std::size_t pick = 1; pick <= 14; ++pick) {
        EXPECT_NEAR(counts[pick], middle, middle * 0.15) << pick;
    }
    for (std::size_t pick : {0u, 15u}) {
        EXPECT_NEAR(counts[pick], middle / 2, middle * 0.12) << pick;
    }
}

TEST_F(RadioAnnouncerTest, TimeWithATitleNamesTheSongAndComments)
{
    announcer.AnnounceTime(QStringLiteral("Blue Monday"), QString());
    ASSERT_EQ(voice.spoken.size(), 1);
    EXPECT_EQ(voice.spoken.first(), "That was Blue Monday,    " + announcer.SpeechText() +
                                        ",       And Tonights time is 08:05 " + pm());
    bool isComment = false;
    for (int id = 2000; id <= 2050; ++id) {
        isComment = isComment || comment(id) == announcer.SpeechText();
    }
    EXPECT_TRUE(isComment) << announcer.SpeechText().toStdString();

    // Nothing tagged since: no comment this time.
    now = QTime(9, 30, 59);
    announcer.AnnounceTime(QString(), QString());
    EXPECT_EQ(voice.spoken.last(), "This mornings time is 09:30 " + am());
}

TEST_F(RadioAnnouncerTest, TimeInTheLastMinuteOfTheDayHasNoWord)
{
    now = QTime(23, 59, 30);
    announcer.AnnounceTime(QStringLiteral("Late"), QString());
    EXPECT_EQ(voice.spoken.last(),
              "That was Late,    " + announcer.SpeechText() + ",       And  time is 11:59 " + pm());
}

TEST_F(RadioAnnouncerTest, TimeUsesATwelveHourClockWithTwoDigits)
{
    const std::pair<QTime, QString> cases[] = {
        {QTime(0, 0, 0), " time is 12:00 " + am()},
        {QTime(0, 15, 0), "This mornings time is 12:15 " + am()},
        {QTime(1, 2, 0), "This mornings time is 01:02 " + am()},
        {QTime(11, 59, 59), "This mornings time is 11:59 " + am()},
        {QTime(12, 0, 0), " time is 12:00 " + pm()},
        {QTime(12, 30, 0), "This afternoons time is 12:30 " + pm()},
        {QTime(18, 0, 0), " time is 06:00 " + pm()},
    };
    for (const auto& [time, text] : cases) {
        now = time;
        announcer.AnnounceTime(QString(), QString());
        EXPECT_EQ(voice.spoken.last(), text);
    }
}

TEST_F(RadioAnnouncerTest, CommentIsDrawnFromTheCommentBaseRoundingHalfToEven)
{
    RandomSource mirror;
    mirror.seed(99);
    random.seed(99);
    for (int i = 0; i < 200; ++i) {
        const int id = 2000 + static_cast<int>(std::nearbyint(mirror.next() * 50));
        announcer.AnnounceTime(QString(), QString());
        ASSERT_EQ(announcer.SpeechText(), comment(id)) << i;
    }
}

// Draws that land exactly on a half go to the even neighbour, so the first
// and last comment come up half as often; rounding halves up would not.
TEST_F(RadioAnnouncerTest, ExactHalvesRoundToTheEvenComment)
{
    const std::pair<double, int> cases[] = {
        {0.01, 2000}, {0.05, 2002}, {0.97, 2048}, {0.03, 2002}, {0.999, 2050}};
    for (const auto& [draw, id] : cases) {
        random.setDraws([draw] { return draw; });
        announcer.AnnounceTime(QString(), QString());
        EXPECT_EQ(announcer.SpeechText(), comment(id)) << draw;
    }
    random.setDraws([] { return 1.0 / 6; });  // 2.5 intros
    announcer.speakIntro();
    EXPECT_EQ(announcer.IntroPick(), 2);
}

TEST_F(RadioAnnouncerTest, SlowStopsTheVoiceBeforeTheTime)
{
    announcer.AnnounceTime(QString(), QString());
    EXPECT_EQ(voice.calls.size(), 1);
    EXPECT_TRUE(voice.calls.first().startsWith("speak "));
    voice.calls.clear();
    settings.Slow = true;
    announcer.AnnounceTime(QString(), QString());
    ASSERT_EQ(voice.calls.size(), 2);
    EXPECT_EQ(voice.calls.first(), QStringLiteral("stop"));
    EXPECT_TRUE(voice.calls.last().startsWith("speak "));
}

TEST_F(RadioAnnouncerTest, NewsSpeaksTheIntroThenEveryHeadlineInFeedOrder)
{
    server.serve(kThreeStories);
    now = QTime(14, 0, 0);
    EXPECT_FALSE(announcer.newsPending());
    announcer.AnnounceNews();
    EXPECT_TRUE(announcer.newsPending());
    ASSERT_EQ(voice.spoken,
              QStringList{QStringLiteral("This afternoons tech headlines are as follows ...    ")});
    ASSERT_TRUE(waitForNews());
    const QStringList headlines{QStringLiteral("Penguins win the cup"),
                                QStringLiteral("Chips get smaller"), QStringLiteral("Tabs\t")};
    EXPECT_EQ(voice.spoken.mid(1), headlines);
    EXPECT_EQ(announcer.Headlines(), headlines);
    EXPECT_EQ(answers, 1);
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().front().path, "/slashdot.xml");
}

// A feed of hundreds of stories with endless titles, under the size cap,
// is read as its first 20 headlines, each cut near 300 characters.
TEST_F(RadioAnnouncerTest, AnEndlessFeedIsReadAsTwentyShortHeadlines)
{
    QByteArray stories;
    for (int i = 0; i < 900; ++i) {
        QByteArray title = "Story " + QByteArray::number(i);
        while (title.size() < 2000) {
            title += " and more";
        }
        stories += story(title);
    }
    ASSERT_LT(stories.size(), 2 * 1024 * 1024);
    server.serve(feedOf(stories));
    announcer.AnnounceNews();
    ASSERT_TRUE(waitForNews());
    ASSERT_EQ(voice.spoken.size(), 1 + 20);
    for (int i = 0; i < 20; ++i) {
        const QString& headline = voice.spoken.at(1 + i);
        EXPECT_TRUE(headline.startsWith(QStringLiteral("Story %1 and more").arg(i))) << i;
        EXPECT_LE(headline.size(), 300);
        EXPECT_GE(headline.size(), 290);
        EXPECT_TRUE(headline.endsWith(QStringLiteral("more")) ||
                    headline.endsWith(QStringLiteral("and")))
            << i;
    }
    EXPECT_EQ(announcer.Headlines(), voice.spoken.mid(1));
}

TEST_F(RadioAnnouncerTest, AFailedFetchLeavesOnlyTheHeadlineIntro)
{
    LocalHttpServer::Answer silent;
    silent.silent = true;
    LocalHttpServer::Answer hangUp;
    hangUp.hangUp = true;
    const QList<LocalHttpServer::Answer> failures = {LocalHttpServer::ok("<backslash><story>"),
                                                     hangUp, silent};
    announcer.setFetchTimeout(300ms);
    for (qsizetype i = 0; i < failures.size(); ++i) {
        SCOPED_TRACE(i);
        server.setHandler([&](const LocalHttpServer::Request&) { return failures.at(i); });
        voice.spoken.clear();
        announcer.AnnounceNews();
        ASSERT_TRUE(waitForNews());
        EXPECT_EQ(voice.spoken, QStringList{kNewsIntroEvening});
        EXPECT_TRUE(announcer.Headlines().isEmpty());
    }
    EXPECT_EQ(answers, 3);
}

TEST_F(RadioAnnouncerTest, AStoryMissingAChildEndsTheHeadlinesThere)
{
    server.serve(feedOf(story("One") + story("Two", QByteArray()) + story("Three")));
    announcer.AnnounceNews();
    ASSERT_TRUE(waitForNews());
    EXPECT_EQ(voice.spoken, (QStringList{kNewsIntroEvening, QStringLiteral("One")}));
    EXPECT_EQ(announcer.Headlines(), (QStringList{QStringLiteral("One"), QString(), QString()}));
}

TEST_F(RadioAnnouncerTest, WithASlowFeedTheNewsStaysPendingAfterTheVoiceFallsSilent)
{
    server.setHandler([](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer = LocalHttpServer::ok(kThreeStories);
        answer.delay = 400ms;
        return answer;
    });
    announcer.AnnounceTime(QStringLiteral("Song"), QString());
    announcer.AnnounceNews();
    ASSERT_EQ(voice.spoken.size(), 2);
    EXPECT_TRUE(voice.spoken.at(0).startsWith(QStringLiteral("That was Song,")));
    EXPECT_EQ(voice.spoken.at(1), kNewsIntroEvening);

    voice.finishSpeaking();
    testing_support::pumpFor(100ms);
    EXPECT_TRUE(announcer.newsPending());
    EXPECT_EQ(voice.speakingState(), 0);

    ASSERT_TRUE(waitForNews());
    ASSERT_EQ(voice.spoken.size(), 5);
    EXPECT_EQ(voice.spoken.at(2), QStringLiteral("Penguins win the cup"));
    EXPECT_EQ(voice.spoken.at(4), QStringLiteral("Tabs\t"));
    EXPECT_NE(voice.speakingState(), 0);
}

TEST_F(RadioAnnouncerTest, ANewFetchAbandonsOneStillRunning)
{
    server.setHandler([](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer = LocalHttpServer::ok(kThreeStories);
        answer.delay = 200ms;
        return answer;
    });
    announcer.AnnounceNews();
    announcer.AnnounceNews();
    ASSERT_TRUE(waitForNews());
    testing_support::pumpFor(400ms);
    EXPECT_EQ(answers, 1);
    EXPECT_EQ(voice.spoken.size(), 2 + 3);
    EXPECT_EQ(voice.spoken.count(QStringLiteral("Penguins win the cup")), 1);
}

// Playlist, Help and the like stop the voice: headlines still on their way
// are never read after that.
TEST_F(RadioAnnouncerTest, StoppingTheVoiceDropsAFetchStillPending)
{
    server.setHandler([](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer = LocalHttpServer::ok(kThreeStories);
        answer.delay = 300ms;
        return answer;
    });
    voice.stop();
    testing_support::pumpFor(20ms);
    EXPECT_EQ(answers, 0) << "nothing pending, nothing to drop";

    announcer.AnnounceNews();
    ASSERT_TRUE(announcer.newsPending());
    voice.stop();
    EXPECT_FALSE(announcer.newsPending());
    EXPECT_EQ(answers, 0) << "the answer comes from the event loop";
    testing_support::pumpFor(600ms);
    EXPECT_EQ(answers, 1);
    EXPECT_EQ(voice.spoken, QStringList{kNewsIntroEvening});
}

// The way back to the music closes what is said between two songs: at once,
// or, while headlines are on their way (Slow plays on meanwhile), after them.
TEST_F(RadioAnnouncerTest, TheWayBackToTheMusicComesAfterHeadlinesOnTheirWay)
{
    const QString back = QStringLiteral("And now,  back to the music.");
    announcer.backToTheMusic(QString(), QString());
    EXPECT_EQ(voice.spoken, QStringList{back});

    server.setHandler([](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer = LocalHttpServer::ok(kThreeStories);
        answer.delay = 200ms;
        return answer;
    });
    voice.spoken.clear();
    announcer.AnnounceNews();
    announcer.backToTheMusic(QString(), QString());
    EXPECT_EQ(voice.spoken, QStringList{kNewsIntroEvening});
    // A second fetch abandons the first; the way back waits for it instead.
    announcer.AnnounceNews();
    ASSERT_TRUE(waitForNews());
    testing_support::pumpFor(300ms);
    EXPECT_EQ(
        voice.spoken,
        (QStringList{kNewsIntroEvening, kNewsIntroEvening, QStringLiteral("Penguins win the cup"),
                     QStringLiteral("Chips get smaller"), QStringLiteral("Tabs\t"), back}));
}

// A voice cut while the headlines are on their way (the Playlist button)
// drops them and the words that close them.
TEST_F(RadioAnnouncerTest, ACutVoiceDropsTheWayBackToTheMusicAfterPendingHeadlines)
{
    server.setHandler([](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer = LocalHttpServer::ok(kThreeStories);
        answer.delay = 200ms;
        return answer;
    });
    announcer.AnnounceNews();
    announcer.backToTheMusic(QString(), QString());
    voice.stop();
    EXPECT_FALSE(announcer.newsPending());
    testing_support::pumpFor(400ms);
    EXPECT_EQ(voice.spoken, QStringList{kNewsIntroEvening});

    // The next way back is said again.
    announcer.backToTheMusic(QString(), QString());
    EXPECT_EQ(voice.spoken.last(), QStringLiteral("And now,  back to the music."));
}

TEST_F(RadioAnnouncerTest, SpeakHeadlineSpeaksOneAndIgnoresBadPositions)
{
    server.serve(kThreeStories);
    announcer.AnnounceNews();
    ASSERT_TRUE(waitForNews());
    voice.spoken.clear();
    announcer.speakHeadline(2);
    announcer.speakHeadline(0);
    announcer.speakHeadline(4);
    EXPECT_EQ(voice.spoken, QStringList{QStringLiteral("Chips get smaller")});
}

TEST(RadioAnnouncerHost, ComesFromTheNewsHostSetting)
{
    testing_support::SettingsSandbox sandbox;
    RadioSettings settings;
    RandomSource random;
    FakeSpeechEngine voice;
    RadioAnnouncer announcer(settings, random, voice);
    EXPECT_EQ(announcer.newsHost(), QStringLiteral("slashdot.org"));

    settings.Settings = std::make_unique<CRegSettings>();
    settings.SettingsSection = QStringLiteral("Options");
    EXPECT_EQ(announcer.newsHost(), QStringLiteral("slashdot.org"));

    LocalHttpServer server;
    server.serve(kThreeStories);
    ASSERT_TRUE(settings.Settings->SaveSetting(QStringLiteral("Options"),
                                               QStringLiteral("NewsHost"), server.host()));
    EXPECT_EQ(announcer.newsHost(), server.host());
    announcer.AnnounceNews();
    ASSERT_TRUE(testing_support::waitUntil([&] { return !announcer.newsPending(); }));
    EXPECT_EQ(voice.spoken.size(), 4);
    EXPECT_EQ(server.requests().size(), 1);

    // A whole address names the feed itself, here an RSS one.
    server.serve(
        "<rss version=\"2.0\"><channel><item><title>From the RSS feed</title></item>"
        "</channel></rss>");
    ASSERT_TRUE(settings.Settings->SaveSetting(QStringLiteral("Options"),
                                               QStringLiteral("NewsHost"),
                                               server.url(QStringLiteral("/feed.xml"))));
    announcer.AnnounceNews();
    ASSERT_TRUE(testing_support::waitUntil([&] { return !announcer.newsPending(); }));
    EXPECT_EQ(voice.spoken.last(), QStringLiteral("From the RSS feed"));
    EXPECT_EQ(server.requests().last().path, "/feed.xml");
}

// With the host who knows the music, the artist follows the title and what
// comes next is named before the way back to the music; off, the words stay
// as they always were.
TEST_F(RadioAnnouncerTest, AHostWhoKnowsTheMusicNamesArtistsAndWhatComesNext)
{
    struct Case {
        bool knows;
        const char* title;
        const char* artist;
        const char* nextTitle;
        const char* nextArtist;
        const char* named;     // after "That was "
        const char* comingUp;  // before "And now,  back to the music."; "" for none
    };
    const Case cases[] = {
        {false, "Blue Monday", "New Order", "Song Two", "Blur", "Blue Monday", ""},
        {true, "Blue Monday", "New Order", "Song Two", "Blur", "Blue Monday by New Order",
         "Coming up: Song Two by Blur."},
        {true, "Blue Monday", "", "Song Two", "", "Blue Monday", "Coming up: Song Two."},
        {true, "Blue Monday", "New Order", "", "Blur", "Blue Monday by New Order", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.knows << " " << c.named);
        settings.HostKnowsMusic = c.knows;
        voice.spoken.clear();
        announcer.AnnounceTime(QString::fromUtf8(c.title), QString::fromUtf8(c.artist));
        announcer.backToTheMusic(QString::fromUtf8(c.nextTitle), QString::fromUtf8(c.nextArtist));
        QStringList want{QStringLiteral("That was ") + QString::fromUtf8(c.named) +
                         QStringLiteral(",    ") + announcer.SpeechText() +
                         QStringLiteral(",       And Tonights time is 08:05 ") + pm()};
        if (*c.comingUp != '\0') {
            want << QString::fromUtf8(c.comingUp);
        }
        want << QStringLiteral("And now,  back to the music.");
        EXPECT_EQ(voice.spoken, want);
    }
}

// The line naming what comes next waits with the way back to the music for
// headlines still on their way, and goes with them when they are dropped.
TEST_F(RadioAnnouncerTest, WhatComesNextWaitsForTheHeadlines)
{
    settings.HostKnowsMusic = true;
    server.setHandler([](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer = LocalHttpServer::ok(kThreeStories);
        answer.delay = 200ms;
        return answer;
    });
    announcer.AnnounceNews();
    announcer.backToTheMusic(QStringLiteral("Next"), QStringLiteral("Band"));
    ASSERT_TRUE(waitForNews());
    ASSERT_GE(voice.spoken.size(), 2);
    EXPECT_EQ(voice.spoken.at(voice.spoken.size() - 2), QStringLiteral("Coming up: Next by Band."));
    EXPECT_EQ(voice.spoken.last(), QStringLiteral("And now,  back to the music."));
}
