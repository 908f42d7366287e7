// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/PlayerEvents.h"
#include "common/FakeRadio.h"
#include "common/QStringPrinter.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

using namespace std::chrono_literals;
using testing_support::waitUntil;

namespace {
// The sequencer over fakes, the announcements as shipped, FlushBack off (the
// songs loaded ahead start from their first frame).
class SequencerAheadTest : public ::testing::Test, protected FakeRadio {
protected:
    SequencerAheadTest()
    {
        announceAsShipped();
        settings.FlushBack = false;
    }

    std::pair<QString, FollowOn> lastPreload() const
    {
        return player.preloads.empty() ? std::pair{QString(), FollowOn::No}
                                       : player.preloads.back();
    }
};
}  // namespace

TEST_F(SequencerAheadTest, TheNextSongFollowsOnOnlyWhenNothingIsSaidBetween)
{
    struct Case {
        const char* what;
        bool flushBack, loops, nowTime, nowNews, slow;
        std::int16_t manyTime;
        FollowOn expected;
        std::int32_t firstFrame = 1;
    };
    const Case cases[] = {
        {"nothing due", false, true, true, false, false, 4, FollowOn::Always},
        {"time due", false, true, true, false, false, 1, FollowOn::No},
        // Due but switched off, headlines on: still "back to the music".
        {"back to the music", false, true, false, true, false, 1, FollowOn::No},
        {"due, all switched off", false, true, false, false, false, 1, FollowOn::Always},
        {"no loops: waits for the voice", false, false, true, false, false, 1,
         FollowOn::WhenVoiceIdle},
        {"no loops, slow", false, false, true, false, true, 1, FollowOn::Always},
        // The flush start's second start is where the song loaded ahead
        // begins, following on or not.
        {"flush back", true, true, true, false, false, 4, FollowOn::Always, 500},
        {"flush back, time due", true, true, true, false, false, 1, FollowOn::No, 500},
    };
    for (const Case& c : cases) {
        settings.FlushBack = c.flushBack;
        settings.Loops = c.loops;
        settings.NowTime = c.nowTime;
        settings.NowNews = c.nowNews;
        settings.Slow = c.slow;
        settings.ManyTime = c.manyTime;
        useList(3);
        seq.PlayIt();
        EXPECT_EQ(lastPreload(), std::pair(song(2), c.expected)) << c.what;
        EXPECT_EQ(player.preloadFirstFrames.back(), c.firstFrame) << c.what;
        seq.StopSong();
    }
}

TEST_F(SequencerAheadTest, TheLastSongLoadsTheFirstAndAnErrorEntryNothing)
{
    useList(3);
    playlist.setSongIndex(3);
    seq.PlayIt();
    EXPECT_EQ(lastPreload().first, song(1));
    playlist.accept({song(1), QStringLiteral("error")});
    player.preloads.clear();
    seq.PlayIt();
    EXPECT_TRUE(player.preloads.empty());
}

TEST_F(SequencerAheadTest, ASettingChangeWhilePlayingChangesTheFollowOn)
{
    useList(3);
    seq.PlayIt();
    ASSERT_EQ(lastPreload(), std::pair(song(2), FollowOn::Always));
    settings.ManyTime = 1;  // the time becomes due at this end
    EXPECT_EQ(lastPreload(), std::pair(song(2), FollowOn::No));
}

TEST_F(SequencerAheadTest, ShuffledThePickIsDrawnEarlyAndTheEndKeepsIt)
{
    settings.Rands = true;
    settings.NowTime = false;
    useList(6);
    seq.PlayIt();
    std::int16_t previousPick = 0;
    for (int end = 0; end < 12; ++end) {
        const QString loaded = lastPreload().first;
        endSong();
        EXPECT_EQ(opened().last(), loaded) << end;
        EXPECT_NE(seq.LastPick(), previousPick) << end;  // never the same pick twice
        previousPick = seq.LastPick();
    }
}

TEST_F(SequencerAheadTest, AnEndToldByThePlayerIsHandledAtOnce)
{
    useList(3);
    seq.PlayIt();
    seq.progressTimer().stop();
    player.atEnd = 1;
    emit player.playerEvents.songEnded();
    EXPECT_EQ(opened(), QStringList({song(1), song(2)}));
}

TEST_F(SequencerAheadTest, SongsFoundBrokenAfterTheirOpenCountAsFailedRuns)
{
    useList(3);
    player.laterFailingPaths = {song(1), song(2), song(3)};
    seq.PlayIt();
    ASSERT_TRUE(waitUntil([&] { return !seq.Playing(); }, 2s));
    EXPECT_EQ(opened(), QStringList({song(1), song(2), song(3)}));
    EXPECT_TRUE(announcer.calls.isEmpty());  // nothing was heard to talk about
    EXPECT_EQ(player.calls.last(), QStringLiteral("StopMPEG"));

    // One good song among them keeps the radio going.
    player.laterFailingPaths = {song(2), song(3)};
    seq.PlayIt();
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 5; }, 2s));
    EXPECT_TRUE(seq.Playing());
}

TEST_F(SequencerAheadTest, ALengthFoundAfterTheStartReachesEndFrame)
{
    useList(2);
    player.totalFrames = MpegPlayer::kLengthPending;
    QSignalSpy known(&seq, &Sequencer::songLengthKnown);
    seq.PlayIt();
    EXPECT_EQ(seq.EndFrame(), MpegPlayer::kLengthPending);
    emit player.playerEvents.songOpened({song(1), 123456});
    EXPECT_EQ(seq.EndFrame(), 123456);
    ASSERT_EQ(known.count(), 1);
    EXPECT_EQ(known.at(0).at(0).toInt(), 123456);
}

TEST_F(SequencerAheadTest, WhenWordsComeFirstAfterAllTheSongThatFollowedOnIsStopped)
{
    // Asked to follow on when the voice is silent; at the end it talks.
    settings.Loops = false;
    useList(3);
    seq.PlayIt();
    ASSERT_EQ(lastPreload().second, FollowOn::WhenVoiceIdle);
    voice.speak(QStringLiteral("still talking"));
    player.calls.clear();
    endSong();
    EXPECT_EQ(player.calls, QStringList({QStringLiteral("StopMPEG")}));
    voice.finishSpeaking();
    EXPECT_EQ(opened().last(), song(2));

    // Silent at the end: the song that followed on is taken over as it is.
    voice.finishSpeaking();
    player.calls.clear();
    endSong();
    EXPECT_FALSE(player.calls.contains(QStringLiteral("StopMPEG")));
    EXPECT_EQ(opened().last(), song(3));
}
