// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/FakeRadio.h"
#include "common/QStringPrinter.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <cmath>
#include <set>

using namespace std::chrono_literals;
using testing_support::pumpFor;
using testing_support::waitUntil;

namespace {
SongInfo titled(const QString& title)
{
    SongInfo info;
    info.title = title;
    return info;
}

const QString kBackToTheMusic = RecordingAnnouncer::kBackToTheMusic;
const QString kBack = QStringLiteral("back to the music");

// The sequencer over fakes that share one event log; every song of the list
// is "/music/<n>.mp3", and the announcements come as shipped.
class SequencerTest : public ::testing::Test, protected FakeRadio {
protected:
    SequencerTest() { announceAsShipped(); }

    // Plays the first song to its end with only the headlines due, and keeps
    // them on their way.
    void playToHeadlinesOnTheirWay()
    {
        settings.NowNews = true;
        settings.ManyNews = 1;
        settings.ManyTime = 0;
        announcer.holdNews = true;
        seq.PlayIt();
        endSong();
    }
};

}  // namespace

TEST_F(SequencerTest, ForwardWrapsToTheFirstSongAndReverseToTheLast)
{
    useList(3);
    playlist.setSongIndex(3);
    seq.NextSong();
    EXPECT_EQ(playlist.SongIndex(), 1);
    EXPECT_EQ(playlist.SongFile(), song(1));
    ASSERT_GE(player.calls.size(), 2);
    EXPECT_EQ(player.calls.at(0), QStringLiteral("CloseMPEG"));
    EXPECT_EQ(player.calls.at(1), QStringLiteral("OpenMPEG /music/1.mp3 MPEGVideo"));

    seq.PreviousSong();
    EXPECT_EQ(playlist.SongIndex(), 3);
    seq.PreviousSong();
    EXPECT_EQ(playlist.SongIndex(), 2);
    EXPECT_EQ(opened(), QStringList({song(1), song(3), song(2)}));
    EXPECT_TRUE(seq.Playing());
}

TEST_F(SequencerTest, WithoutAListForwardAndReverseOnlyStopCounting)
{
    seq.PlayRange(QString(), QString());
    seq.NextSong();
    EXPECT_FALSE(seq.Playing());
    seq.PlayRange(QString(), QString());
    seq.PreviousSong();
    EXPECT_FALSE(seq.Playing());
    EXPECT_TRUE(opened().isEmpty());
    EXPECT_FALSE(player.calls.contains(QStringLiteral("CloseMPEG")));
}

TEST_F(SequencerTest, SongStartFlushesBackWhenAsked)
{
    useList(1);
    settings.FlushBack = true;
    seq.PlayIt();
    EXPECT_EQ(player.calls,
              QStringList({QStringLiteral("OpenMPEG /music/1.mp3 MPEGVideo"),
                           QStringLiteral("GetTotalframes"), QStringLiteral("PlayMPEG 10 180000"),
                           QStringLiteral("StopMPEG"), QStringLiteral("GetTotalframes"),
                           QStringLiteral("PlayMPEG 500 180000")}));
    EXPECT_TRUE(seq.Playing());
    EXPECT_TRUE(seq.progressTimer().isActive());

    player.calls.clear();
    settings.FlushBack = false;
    seq.PlayIt();
    EXPECT_EQ(player.calls,
              QStringList({QStringLiteral("OpenMPEG /music/1.mp3 MPEGVideo"),
                           QStringLiteral("GetTotalframes"), QStringLiteral("PlayMPEG 1 180000")}));
}

TEST_F(SequencerTest, PlayRangeFillsInTheEndsNotGiven)
{
    player.totalFrames = 900;
    seq.PlayRange(QStringLiteral("20"), QStringLiteral("300"));
    seq.PlayRange(QStringLiteral("20"), QString());
    seq.PlayRange(QString(), QStringLiteral("300"));
    seq.PlayRange(QString(), QString());
    EXPECT_EQ(player.calls,
              QStringList({QStringLiteral("PlayMPEG 20 300"), QStringLiteral("GetTotalframes"),
                           QStringLiteral("PlayMPEG 20 900"), QStringLiteral("PlayMPEG 1 300"),
                           QStringLiteral("GetTotalframes"), QStringLiteral("PlayMPEG 1 900")}));
    EXPECT_EQ(seq.StartFrame(), 1);
    EXPECT_EQ(seq.EndFrame(), 900);
    EXPECT_TRUE(seq.Playing());
}

TEST_F(SequencerTest, AnEndIsOnlyHandledWhileASongPlays)
{
    useList(2);
    endSong();
    EXPECT_TRUE(opened().isEmpty());
    EXPECT_FALSE(seq.schedule().TimeDue());
    EXPECT_FALSE(seq.schedule().NewsDue());
}

TEST_F(SequencerTest, TicksShowProgressUpToAHundred)
{
    QSignalSpy shown(&seq, &Sequencer::percentShown);
    player.percent = 42;
    seq.showProgress();
    player.percent = 180;
    seq.showProgress();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown.at(0).at(0).toInt(), 42);
    EXPECT_EQ(shown.at(1).at(0).toInt(), 100);
    EXPECT_EQ(seq.progressTimer().objectName(), QStringLiteral("Timer1"));
    EXPECT_EQ(seq.progressTimer().interval(), 100);
    EXPECT_FALSE(seq.progressTimer().isActive()) << "the tick waits for the first song";
    useList(1);
    seq.PlayIt();
    EXPECT_TRUE(seq.progressTimer().isActive());
}

TEST_F(SequencerTest, GaugeKeepsCountingOverTheSongAfterASeek)
{
    useList(1);
    settings.FlushBack = true;
    settings.FlushCount = 442;    // 10 ms in
    player.totalFrames = 441441;  // 10 s after that
    seq.PlayIt();
    ASSERT_TRUE(seq.seekTo(7010));
    EXPECT_EQ(seq.StartFrame(), 309142);
    EXPECT_EQ(seq.EndFrame(), 441441);

    QSignalSpy shown(&seq, &Sequencer::percentShown);
    player.percent = 0;  // the player counts from the seek
    seq.showProgress();
    player.positionMs = 10010;
    seq.showProgress();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown.at(0).at(0).toInt(), 70);  // 7 of the 10 s from the flush start
    EXPECT_EQ(shown.at(1).at(0).toInt(), 100);

    // A song started anew counts over its own range again.
    seq.PlayIt();
    player.percent = 12;
    seq.showProgress();
    EXPECT_EQ(shown.last().at(0).toInt(), 12);
}

TEST_F(SequencerTest, ShuffleNeverRepeatsThePreviousPick)
{
    useList(6);
    settings.Rands = true;
    settings.Loops = false;
    seq.PlayIt();
    std::set<int> seen;
    int previous = 0;
    for (int i = 0; i < 300; ++i) {
        endSong();
        const int pick = seq.LastPick();
        ASSERT_NE(pick, previous);
        ASSERT_GE(pick, 1);
        ASSERT_LE(pick, 6);
        // The advance after the pick moves one on, wrapping.
        ASSERT_EQ(playlist.SongIndex(), pick == 6 ? 1 : pick + 1);
        ASSERT_EQ(playlist.SongFile(), song(playlist.SongIndex()));
        seen.insert(pick);
        previous = pick;
    }
    EXPECT_EQ(seen.size(), 6u);
}

TEST_F(SequencerTest, ALongListPlaysAndShufflesWhole)
{
    constexpr int kSongs = 40000;
    useList(kSongs);
    settings.Loops = false;

    // In order past 32,767, and back from the first to the last.
    playlist.setSongIndex(32767);
    playlist.setSongFile(song(32767));
    seq.PlayIt();
    endSong();
    EXPECT_EQ(playlist.SongIndex(), 32768);
    EXPECT_EQ(opened().last(), song(32768));
    playlist.setSongIndex(1);
    seq.PreviousSong();
    EXPECT_EQ(opened().last(), song(kSongs));

    // Shuffled, every position can be drawn. The pick for a song's end is
    // drawn as the song starts, so each draw is handed out once, for the
    // start that follows the next end; later draws fall back to 0.25.
    settings.Rands = true;
    struct Draw {
        double value;
        int pick;
    };
    std::optional<double> next;
    random.setDraws([&next] {
        const double value = next.value_or(0.25);
        next.reset();
        return value;
    });
    for (const Draw& d : {Draw{0.0, 1}, Draw{0.99999, kSongs}, Draw{0.5, 20001},
                          Draw{std::nextafter(1.0, 0.0), kSongs}, Draw{0.9, 36001}}) {
        next = d.value;
        endSong();  // the song that starts now draws d
        endSong();
        EXPECT_EQ(seq.LastPick(), d.pick) << d.value;
        EXPECT_EQ(opened().last(), song(d.pick == kSongs ? 1 : d.pick + 1)) << d.value;
    }
}

TEST_F(SequencerTest, PlayWithNoSongAsksThePlayerForNothingAndStops)
{
    seq.PlayIt();
    EXPECT_TRUE(player.calls.filter(QStringLiteral("OpenMPEG")).isEmpty());
    ASSERT_TRUE(waitUntil([this] { return !seq.Playing(); }, 2s));
    EXPECT_TRUE(announcer.calls.isEmpty());
}

TEST_F(SequencerTest, ShuffleLeavesAOneSongListAlone)
{
    useList(1);
    settings.Rands = true;
    settings.Loops = false;
    seq.PlayIt();
    for (int i = 0; i < 3; ++i) {
        endSong();
    }
    EXPECT_EQ(opened(), QStringList(4, song(1)));
    EXPECT_EQ(seq.LastPick(), 0);
}

TEST_F(SequencerTest, LoopsOffNeitherCountsNorTalksYetWaitsForTheVoice)
{
    useList(3);
    settings.Loops = false;
    settings.ManyTime = 1;
    seq.PlayIt();
    voice.speak(QStringLiteral("intro still going"));
    endSong();
    EXPECT_TRUE(seq.waitingForVoice());
    EXPECT_FALSE(seq.progressTimer().isActive());
    pumpFor(150ms);
    EXPECT_EQ(opened().size(), 1);

    voice.finishSpeaking();
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 2; }, 2s));
    EXPECT_TRUE(announcer.calls.isEmpty());
    EXPECT_EQ(seq.schedule().SongsSinceTime(), 0);
    EXPECT_FALSE(voice.spoken.contains(kBackToTheMusic));
    EXPECT_TRUE(seq.progressTimer().isActive());
}

// A song's end is handled once, when the player tells it: the tick only
// moves the gauge and never asks the player whether the song has ended, and
// the same end told again changes nothing.
TEST_F(SequencerTest, AnEndIsHandledOnceWhenThePlayerTellsIt)
{
    useList(3);
    settings.ManyTime = 1;
    seq.PlayIt();
    player.atEnd = 1;  // the player knows, but has not told yet
    seq.showProgress();
    pumpFor(250ms);  // the tick runs meanwhile
    EXPECT_EQ(opened().size(), 1);

    endSong();
    ASSERT_TRUE(seq.waitingForVoice());
    endSong();
    voice.finishSpeaking();
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 2; }, 2s));
    pumpFor(50ms);
    EXPECT_EQ(opened().size(), 2);
    EXPECT_EQ(announcer.calls, QStringList({QStringLiteral("time"), kBack}));
    EXPECT_EQ(player.endQuestions, 0);
}

// A song end stops the voice once at most: with Loops on before the
// announcements, cutting what is still said (an intro); the wait then ends on
// a silent voice, which is not stopped again. Each stop tells speechStopped
// and a later speechFinished, so a second one is not harmless.
TEST_F(SequencerTest, ASongEndStopsTheVoiceOnceAtMost)
{
    struct Case {
        const char* what;
        bool loops, slow;
        std::int16_t manyTime;
        int stops;
    };
    const Case cases[] = {
        {"time due", true, false, 1, 1},       {"nothing due", true, false, 4, 1},
        {"time due, Slow", true, true, 1, 1},  {"no Loops", false, false, 1, 0},
        {"no Loops, Slow", false, true, 1, 0},
    };
    useList(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings.Loops = c.loops;
        settings.Slow = c.slow;
        settings.ManyTime = c.manyTime;
        seq.PlayIt();
        voice.speak(QStringLiteral("intro still going"));
        pumpFor(10ms);
        voice.calls.clear();
        QSignalSpy stopped(&voice, &SpeechEngine::speechStopped);
        const qsizetype before = opened().size();
        endSong();
        voice.finishSpeaking();
        ASSERT_TRUE(waitUntil([&] { return opened().size() == before + 1; }, 2s));
        pumpFor(20ms);
        EXPECT_EQ(voice.calls.count(QStringLiteral("stop")), c.stops);
        EXPECT_EQ(stopped.size(), c.stops);
        seq.StopSong();
    }
}

TEST_F(SequencerTest, SlowStartsTheNextSongWhileTheAnnouncerTalks)
{
    useList(3);
    settings.Slow = true;
    settings.ManyTime = 1;
    seq.PlayIt();
    endSong();
    EXPECT_EQ(announcer.calls, QStringList({QStringLiteral("time"), kBack}));
    EXPECT_EQ(opened(), QStringList({song(1), song(2)}));
    EXPECT_EQ(voice.speakingState(), 1);
    // The voice is stopped before the announcement only, never after it.
    EXPECT_EQ(voice.calls, QStringList({QStringLiteral("stop"), QStringLiteral("speak the time"),
                                        QStringLiteral("speak ") + kBackToTheMusic}));
}

TEST_F(SequencerTest, BackToTheMusicFollowsTheWaitWhenAnAnnouncementWasDue)
{
    useList(3);
    settings.ManyTime = 2;
    seq.PlayIt();
    endSong();
    EXPECT_TRUE(announcer.calls.isEmpty());
    EXPECT_EQ(opened().size(), 2);

    log.clear();
    endSong();
    EXPECT_EQ(announcer.calls, QStringList({QStringLiteral("time")}));
    EXPECT_TRUE(seq.waitingForVoice());
    voice.finishSpeaking();
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 3; }, 2s));
    EXPECT_EQ(log,
              QStringList({QStringLiteral("say the time"), QStringLiteral("say ") + kBackToTheMusic,
                           QStringLiteral("open ") + song(3)}));
    EXPECT_FALSE(seq.schedule().TimeDue());
    EXPECT_EQ(seq.schedule().SongsSinceTime(), 0);
}

TEST_F(SequencerTest, BackToTheMusicWhenADueCountMeetsAnySwitch)
{
    useList(2);
    // Time is due but switched off, headlines are on but not due: nothing is
    // announced, yet the music is welcomed back.
    settings.NowTime = false;
    settings.NowNews = true;
    settings.ManyTime = 1;
    seq.PlayIt();
    endSong();
    EXPECT_EQ(announcer.calls, QStringList{kBack});
    EXPECT_EQ(voice.spoken, QStringList({kBackToTheMusic}));

    voice.spoken.clear();
    settings.NowNews = false;
    voice.finishSpeaking();
    endSong();
    EXPECT_TRUE(voice.spoken.isEmpty());
}

TEST_F(SequencerTest, CountsReachOrPassTheirThresholdAndZeroMeansNever)
{
    useList(2);
    settings.ManyTime = 100;
    seq.PlayIt();
    for (int i = 0; i < 10; ++i) {
        endSong();
    }
    ASSERT_EQ(seq.schedule().SongsSinceTime(), 10);
    ASSERT_TRUE(announcer.calls.isEmpty());
    settings.ManyTime = 4;  // the threshold was lowered meanwhile
    endSong();
    EXPECT_EQ(announcer.calls, QStringList({QStringLiteral("time")}));
    EXPECT_EQ(seq.schedule().SongsSinceTime(), 0);

    voice.finishSpeaking();
    ASSERT_TRUE(waitUntil([&] { return !seq.waitingForVoice(); }, 2s));
    announcer.calls.clear();
    voice.spoken.clear();
    settings.ManyTime = 0;
    settings.ManyNews = 0;
    settings.NowNews = true;
    for (int i = 0; i < 40; ++i) {
        voice.finishSpeaking();
        endSong();
        ASSERT_FALSE(seq.waitingForVoice());
    }
    EXPECT_TRUE(announcer.calls.isEmpty());
    EXPECT_TRUE(voice.spoken.isEmpty());
}

TEST_F(SequencerTest, TheWaitLastsUntilPendingHeadlinesAreHandedOver)
{
    useList(2);
    playToHeadlinesOnTheirWay();
    EXPECT_EQ(announcer.calls, QStringList({QStringLiteral("news")}));
    voice.finishSpeaking();
    pumpFor(120ms);
    EXPECT_EQ(opened().size(), 1);

    announcer.answerNews();
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 2; }, 2s));
}

TEST_F(SequencerTest, PauseThenForwardPlaysOnYetStaysPaused)
{
    useList(3);
    seq.PlayIt();
    seq.command(TransportCommand::Pause);
    EXPECT_TRUE(seq.paused());
    EXPECT_FALSE(seq.progressTimer().isActive());
    seq.command(TransportCommand::Forward);
    EXPECT_EQ(opened().last(), song(2));
    EXPECT_TRUE(seq.paused());
    EXPECT_TRUE(seq.progressTimer().isActive());

    seq.command(TransportCommand::Pause);
    EXPECT_FALSE(seq.paused());
    EXPECT_EQ(player.calls.filter(QStringLiteral("PauseMPEG")).size(), 1);
    EXPECT_EQ(player.calls.filter(QStringLiteral("ResumeMPEG")).size(), 1);
}

TEST_F(SequencerTest, AnErrorEntryIsSkippedWithoutOpeningOrReadingIt)
{
    useList(3);
    playlist.accept({song(1), QStringLiteral("error"), song(3)});
    QStringList titlesRead;
    seq.setSongInfoReader([&](const QString& path) -> std::optional<SongInfo> {
        titlesRead << path;
        if (path == song(1)) {
            return titled(QStringLiteral("Earlier Title"));
        }
        return std::nullopt;
    });
    seq.PlayIt();
    voice.finishSpeaking();
    endSong();
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 2; }, 2s));
    EXPECT_EQ(opened(), QStringList({song(1), song(3)}));
    EXPECT_EQ(playlist.SongIndex(), 3);
    // Song 3 gave no title; the one of song 1 is not carried over to it.
    pumpFor(20ms);
    EXPECT_TRUE(seq.SongTitle().isEmpty());
    // Read as each opens, and as each is looked ahead to (song 3 after 1,
    // song 1 after 3): never the entry in between.
    titlesRead.removeDuplicates();
    EXPECT_EQ(titlesRead, QStringList({song(1), song(3)}));
    EXPECT_TRUE(seq.Playing());
}

TEST_F(SequencerTest, ASongThatCannotBeOpenedEndsAtOnceWithoutAnnouncements)
{
    useList(3);
    player.failingPaths << song(2);
    settings.ManyTime = 1;
    seq.PlayIt();
    endSong();
    voice.finishSpeaking();
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 3; }, 2s));
    EXPECT_EQ(opened(), QStringList({song(1), song(2), song(3)}));
    EXPECT_EQ(announcer.calls, QStringList({QStringLiteral("time"), kBack}));
    EXPECT_TRUE(seq.Playing());
}

TEST_F(SequencerTest, PlaybackStopsWhenEverySongOfTheListFails)
{
    useList(4);
    for (int i = 1; i <= 4; ++i) {
        player.failingPaths << song(i);
    }
    seq.PlayIt();
    ASSERT_TRUE(waitUntil([&] { return !seq.Playing(); }, 2s));
    pumpFor(200ms);
    EXPECT_EQ(opened(), QStringList({song(1), song(2), song(3), song(4)}));
    EXPECT_EQ(log.last(), QStringLiteral("stop music"));
    EXPECT_FALSE(seq.progressTimer().isActive());

    // A later Play tries the list again from the current song.
    player.failingPaths.removeAll(song(3));
    seq.PlayIt();
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 8; }, 2s));
    pumpFor(100ms);
    EXPECT_EQ(opened().mid(4), QStringList({song(4), song(1), song(2), song(3)}));
    EXPECT_TRUE(seq.Playing());
}

TEST_F(SequencerTest, AShuffledListKeepsLookingForItsOneGoodSong)
{
    useList(8);
    for (int i = 1; i <= 8; ++i) {
        if (i != 5) {
            player.failingPaths << song(i);
        }
    }
    settings.Rands = true;
    seq.PlayIt();
    ASSERT_TRUE(waitUntil([&] { return opened().contains(song(5)); }, 5s));
    pumpFor(50ms);
    EXPECT_EQ(opened().last(), song(5));
    EXPECT_TRUE(seq.Playing());
}

TEST_F(SequencerTest, ReleaseOffHoldsCommandsUntilTheNextSongHasStarted)
{
    useList(4);
    settings.ManyTime = 1;
    seq.PlayIt();
    endSong();
    ASSERT_TRUE(seq.waitingForVoice());
    log.clear();
    seq.command(TransportCommand::Forward);
    seq.command(TransportCommand::Stop);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(seq.heldCommands(), 2u);

    voice.finishSpeaking();
    ASSERT_TRUE(waitUntil([&] { return !seq.waitingForVoice(); }, 2s));
    EXPECT_EQ(log, QStringList({QStringLiteral("say ") + kBackToTheMusic,
                                QStringLiteral("open ") + song(2),
                                QStringLiteral("open ") + song(3), QStringLiteral("stop music")}));
    EXPECT_FALSE(seq.Playing());
    EXPECT_EQ(seq.heldCommands(), 0u);
}

TEST_F(SequencerTest, OtherControlsAreHeldInOrderWithTheCommands)
{
    useList(4);
    settings.ManyTime = 1;
    seq.PlayIt();
    endSong();
    ASSERT_TRUE(seq.holding());
    log.clear();
    QObject context;
    auto gone = std::make_unique<QObject>();
    seq.runOrHold(&context, [&] { log << QStringLiteral("switch"); });
    seq.command(TransportCommand::Forward);
    seq.runOrHold(gone.get(), [&] { log << QStringLiteral("from a closed window"); });
    seq.runOrHold(&context, [&] { log << QStringLiteral("playlist"); });
    gone.reset();
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(seq.heldCommands(), 4u);

    voice.finishSpeaking();
    ASSERT_TRUE(waitUntil([&] { return !seq.waitingForVoice(); }, 2s));
    EXPECT_EQ(log, QStringList({QStringLiteral("say ") + kBackToTheMusic,
                                QStringLiteral("open ") + song(2), QStringLiteral("switch"),
                                QStringLiteral("open ") + song(3), QStringLiteral("playlist")}));
    EXPECT_EQ(seq.heldCommands(), 0u);

    // Not waiting, or with Release on while waiting, they run at once.
    log.clear();
    seq.runOrHold(&context, [&] { log << QStringLiteral("now"); });
    EXPECT_EQ(log, QStringList{QStringLiteral("now")});
}

TEST_F(SequencerTest, HeldControlsOutliveAWaitThatASongStartEnds)
{
    useList(3);
    settings.ManyTime = 1;
    seq.PlayIt();
    endSong();
    QObject context;
    bool ran = false;
    seq.runOrHold(&context, [&] { ran = true; });
    seq.command(TransportCommand::Stop);
    // A song started directly (the desktop's "open") ends the wait: the held
    // Stop goes with it, the held switch still runs.
    seq.PlayIt();
    ASSERT_TRUE(waitUntil([&] { return ran; }, 2s));
    EXPECT_TRUE(seq.Playing());
    EXPECT_EQ(seq.heldCommands(), 0u);
}

TEST_F(SequencerTest, ReleaseOnRunsCommandsAtOnce)
{
    useList(4);
    settings.Release = true;
    settings.ManyTime = 1;
    seq.PlayIt();
    endSong();
    ASSERT_TRUE(seq.waitingForVoice());
    seq.command(TransportCommand::Pause);
    EXPECT_TRUE(player.calls.contains(QStringLiteral("PauseMPEG")));
    EXPECT_TRUE(seq.waitingForVoice());
    seq.command(TransportCommand::Pause);

    // Forward starts a song, which takes the place of the pending advance.
    seq.command(TransportCommand::Forward);
    EXPECT_EQ(opened(), QStringList({song(1), song(2)}));
    EXPECT_FALSE(seq.waitingForVoice());
    voice.finishSpeaking();
    pumpFor(150ms);
    EXPECT_EQ(opened(), QStringList({song(1), song(2)}));
    EXPECT_TRUE(seq.Playing());
}

TEST_F(SequencerTest, ReleaseOnStopDuringTheWaitStaysStopped)
{
    useList(3);
    settings.Release = true;
    settings.ManyTime = 1;
    seq.PlayIt();
    endSong();
    seq.command(TransportCommand::Stop);
    voice.finishSpeaking();
    pumpFor(150ms);
    EXPECT_EQ(opened().size(), 1);
    EXPECT_FALSE(seq.Playing());
    EXPECT_FALSE(seq.progressTimer().isActive());
}

TEST_F(SequencerTest, HaltDropsTheWaitAndWhatWasHeld)
{
    useList(3);
    settings.ManyTime = 1;
    seq.PlayIt();
    endSong();
    seq.command(TransportCommand::Forward);
    seq.halt();
    voice.finishSpeaking();
    pumpFor(150ms);
    EXPECT_EQ(opened().size(), 1);
    EXPECT_FALSE(seq.waitingForVoice());
    EXPECT_FALSE(seq.progressTimer().isActive());
}

// A song that plays ends the run of failed songs: a song that failed before
// it does not count toward giving up later.
TEST_F(SequencerTest, ASongThatPlaysEndsTheRunOfFailures)
{
    useList(2);
    player.failingPaths = {song(1)};
    seq.PlayIt();
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 2; }, 2s));
    ASSERT_TRUE(seq.Playing());

    player.failingPaths = {song(2)};
    seq.PlayIt();  // song 2 again, now broken; song 1 plays once more
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 4; }, 2s));
    EXPECT_EQ(opened(), QStringList({song(1), song(2), song(2), song(1)}));
    EXPECT_TRUE(seq.Playing());
}

// The generator is seeded from the clock at every song end and when an
// accepted playlist starts, so shuffles differ from run to run.
TEST_F(SequencerTest, TheRandomSourceIsSeededAtEverySongEndAndListStart)
{
    int seeds = 0;
    random.setClock([&] { return static_cast<std::uint64_t>(++seeds); });
    useList(3);
    seq.startAcceptedList();
    EXPECT_EQ(seeds, 1);
    EXPECT_EQ(announcer.calls, QStringList({QStringLiteral("intro")}));
    voice.finishSpeaking();
    for (int end = 1; end <= 3; ++end) {
        endSong();
        EXPECT_EQ(seeds, 1 + end);
    }
}

// "That was ..." names the song that just ended, or nothing: a title is
// cleared when the next song opens, whether or not that one has a title.
TEST_F(SequencerTest, TheTimeNamesOnlyTheSongThatJustEnded)
{
    useList(3);
    // The time every two songs: the first song's title must not outlive it.
    settings.ManyTime = 2;
    seq.setSongInfoReader([&](const QString& path) -> std::optional<SongInfo> {
        if (path == song(1)) {
            return titled(QStringLiteral("Thunder Road"));
        }
        // Song 2 cannot be read at all, so no answer ever names it.
        return std::nullopt;
    });
    seq.PlayIt();
    ASSERT_TRUE(waitUntil([&] { return !seq.SongTitle().isEmpty(); }, 2s));
    endSong();
    ASSERT_EQ(opened().size(), 2);
    pumpFor(20ms);
    endSong();
    EXPECT_EQ(announcer.titles, QStringList{QString()});
}

// Stop while the headlines are on their way (Release on): they are dropped,
// and the way back to the music is not said either.
TEST_F(SequencerTest, StopDuringTheHeadlinesDropsThem)
{
    useList(2);
    settings.Release = true;
    playToHeadlinesOnTheirWay();
    ASSERT_TRUE(announcer.newsPending());
    seq.command(TransportCommand::Stop);
    EXPECT_FALSE(announcer.newsPending());
    EXPECT_EQ(announcer.calls, QStringList({QStringLiteral("news"), QStringLiteral("drop news")}));
    voice.finishSpeaking();
    pumpFor(150ms);
    EXPECT_FALSE(voice.spoken.contains(kBackToTheMusic));
    EXPECT_EQ(opened().size(), 1);
}

// With Slow the next song plays while the headlines are fetched; the way back
// to the music is asked of the announcer at once, which says it after them,
// and a voice cut meanwhile (the Playlist button) drops them and the words
// that close them. (RadioAnnouncerTest checks the real announcer's part.)
TEST_F(SequencerTest, ACutVoiceDropsTheWayBackToTheMusicAfterPendingHeadlines)
{
    useList(3);
    settings.Slow = true;
    playToHeadlinesOnTheirWay();
    ASSERT_EQ(opened().size(), 2);
    EXPECT_EQ(announcer.calls, QStringList({QStringLiteral("news"), kBack}));
    EXPECT_FALSE(voice.spoken.contains(kBackToTheMusic));
    voice.stop();
    announcer.dropNews();
    pumpFor(50ms);
    EXPECT_FALSE(voice.spoken.contains(kBackToTheMusic));
}

// The tags are read from the real file, off the GUI thread: an mp3 that has
// only an ID3v2 tag is named after it ends.
TEST_F(SequencerTest, AnId3v2OnlySongIsNamedAfterItEnds)
{
    const QString tagged = QStringLiteral(TOLVAR_TAGS_TEST_MEDIA "/id3v2only.mp3");
    playlist.accept({tagged, song(2)});
    settings.ManyTime = 1;
    seq.PlayIt();
    ASSERT_TRUE(waitUntil([&] { return !seq.SongTitle().isEmpty(); }, 3s));
    endSong();
    EXPECT_EQ(announcer.titles, QStringList{QStringLiteral("Harbour Lights")});
}

// The announcer hears the artist of the song that ended and what the
// look-ahead picked to come next; the player hears the crossfade setting.
TEST_F(SequencerTest, TheHostHearsTheArtistAndWhatComesNext)
{
    useList(3);
    settings.ManyTime = 1;
    seq.setSongInfoReader([&](const QString& path) -> std::optional<SongInfo> {
        SongInfo info;
        info.title = QStringLiteral("Title of ") + path;
        info.artist = path == song(2) ? QString() : QStringLiteral("Band of ") + path;
        return info;
    });
    seq.PlayIt();
    pumpFor(50ms);  // the tags of this song and of the one looked ahead to
    endSong();
    voice.finishSpeaking();
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 2; }, 2s));
    EXPECT_EQ(announcer.titles, QStringList{QStringLiteral("Title of /music/1.mp3")});
    EXPECT_EQ(announcer.artists, QStringList{QStringLiteral("Band of /music/1.mp3")});
    EXPECT_EQ(announcer.comingUp, QStringList{QStringLiteral("Title of /music/2.mp3")});

    EXPECT_EQ(player.crossfadeMs, 0);
    settings.Crossfade = 4;
    EXPECT_EQ(player.crossfadeMs, 4000);
}
