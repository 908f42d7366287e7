#include "core/Sequencer.h"

#include "common/FakeMpegPlayer.h"
#include "common/FakeSpeechEngine.h"
#include "common/TestSupport.h"
#include "core/RecordingAnnouncer.h"
#include "core/Tolvars.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <set>

using namespace std::chrono_literals;
using testing_support::pumpFor;
using testing_support::waitUntil;

namespace {
const QString kBackToTheMusic = QStringLiteral("And now,  back to the music.");

// Player and voice that also write into one log, so tests can see what came
// before what.
class LoggingPlayer : public FakeMpegPlayer {
public:
    explicit LoggingPlayer(QStringList& log) : log_(log) {}
    QString OpenMPEG(quintptr handle, const QString& path, const QString& type) override
    {
        log_ << QStringLiteral("open ") + path;
        return FakeMpegPlayer::OpenMPEG(handle, path, type);
    }
    void StopMPEG() override
    {
        log_ << QStringLiteral("stop music");
        FakeMpegPlayer::StopMPEG();
    }

private:
    QStringList& log_;
};

class LoggingVoice : public FakeSpeechEngine {
public:
    explicit LoggingVoice(QStringList& log) : log_(log) {}
    void speak(const QString& text) override
    {
        log_ << QStringLiteral("say ") + text;
        FakeSpeechEngine::speak(text);
    }

private:
    QStringList& log_;
};

class SequencerTest : public ::testing::Test {
protected:
    SequencerTest()
    {
        state.Loops = true;
        state.NowTime = true;
        state.ManyTime = 4;
        state.ManyNews = 15;
        state.FlushCount = 500;
        state.SongIndex = 1;
    }

    void useList(int songs)
    {
        state.SongList.clear();
        for (int i = 1; i <= songs; ++i) {
            state.SongList << song(i);
        }
        state.SongCount = songs;
        state.SongFile = state.SongList.first();
        state.SongIndex = 1;
    }
    static QString song(int i) { return QStringLiteral("/music/%1.mp3").arg(i); }

    // Paths handed to OpenMPEG, in order.
    QStringList opened() const
    {
        QStringList paths;
        for (const QString& line : log) {
            if (line.startsWith(QLatin1String("open "))) {
                paths << line.mid(5);
            }
        }
        return paths;
    }
    void endSong()
    {
        player.atEnd = 1;
        seq.CheckSongEnd();
    }

    QStringList log;
    Tolvars state;
    LoggingPlayer player{log};
    LoggingVoice voice{log};
    RecordingAnnouncer announcer{voice};
    Sequencer seq{state, player, voice, announcer};
};
}  // namespace

TEST_F(SequencerTest, ForwardWrapsToTheFirstSongAndReverseToTheLast)
{
    useList(3);
    state.SongIndex = 3;
    seq.NextSong();
    EXPECT_EQ(state.SongIndex, 1);
    EXPECT_EQ(state.SongFile, song(1));
    ASSERT_GE(player.calls.size(), 2);
    EXPECT_EQ(player.calls.at(0), QStringLiteral("CloseMPEG"));
    EXPECT_EQ(player.calls.at(1), QStringLiteral("OpenMPEG /music/1.mp3 MPEGVideo"));

    seq.PreviousSong();
    EXPECT_EQ(state.SongIndex, 3);
    seq.PreviousSong();
    EXPECT_EQ(state.SongIndex, 2);
    EXPECT_EQ(opened(), QStringList({song(1), song(3), song(2)}));
    EXPECT_TRUE(state.Playing);
}

TEST_F(SequencerTest, WithoutAListForwardAndReverseOnlyStopCounting)
{
    state.Playing = true;
    seq.NextSong();
    EXPECT_FALSE(state.Playing);
    state.Playing = true;
    seq.PreviousSong();
    EXPECT_FALSE(state.Playing);
    EXPECT_TRUE(opened().isEmpty());
    EXPECT_FALSE(player.calls.contains(QStringLiteral("CloseMPEG")));
}

TEST_F(SequencerTest, SongStartFlushesBackWhenAsked)
{
    useList(1);
    state.FlushBack = true;
    seq.PlayIt();
    EXPECT_EQ(player.calls,
              QStringList({QStringLiteral("OpenMPEG /music/1.mp3 MPEGVideo"),
                           QStringLiteral("GetTotalframes"), QStringLiteral("PlayMPEG 10 180000"),
                           QStringLiteral("StopMPEG"), QStringLiteral("GetTotalframes"),
                           QStringLiteral("PlayMPEG 500 180000")}));
    EXPECT_EQ(state.FlushFrom, QStringLiteral("500"));
    EXPECT_TRUE(state.Playing);
    EXPECT_TRUE(seq.timer1().isActive());

    player.calls.clear();
    state.FlushBack = false;
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
    EXPECT_EQ(state.StartFrame, 1);
    EXPECT_EQ(state.EndFrame, 900);
    EXPECT_TRUE(state.Playing);
}

TEST_F(SequencerTest, AnEndIsOnlyHandledWhileASongPlays)
{
    useList(2);
    state.TimeDue = true;
    state.NewsDue = true;
    player.atEnd = 1;
    seq.Timer1_Timer();
    EXPECT_TRUE(opened().isEmpty());
    EXPECT_FALSE(state.TimeDue);
    EXPECT_FALSE(state.NewsDue);
}

TEST_F(SequencerTest, TicksShowProgressUpToAHundred)
{
    QSignalSpy shown(&seq, &Sequencer::percentShown);
    player.percent = 42;
    seq.Timer1_Timer();
    player.percent = 180;
    seq.Timer1_Timer();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown.at(0).at(0).toInt(), 42);
    EXPECT_EQ(shown.at(1).at(0).toInt(), 100);
    EXPECT_EQ(seq.timer1().objectName(), QStringLiteral("Timer1"));
    EXPECT_EQ(seq.timer1().interval(), 100);
    EXPECT_TRUE(seq.timer1().isActive());
}

TEST_F(SequencerTest, ShuffleNeverRepeatsThePreviousPick)
{
    useList(6);
    state.Rands = true;
    state.Loops = false;
    seq.PlayIt();
    std::set<int> seen;
    int previous = 0;
    for (int i = 0; i < 300; ++i) {
        endSong();
        const int pick = state.LastPick;
        ASSERT_NE(pick, previous);
        ASSERT_GE(pick, 1);
        ASSERT_LE(pick, 6);
        // The advance after the pick moves one on, wrapping.
        ASSERT_EQ(state.SongIndex, pick == 6 ? 1 : pick + 1);
        ASSERT_EQ(state.SongFile, song(state.SongIndex));
        seen.insert(pick);
        previous = pick;
    }
    EXPECT_EQ(seen.size(), 6u);
}

TEST_F(SequencerTest, ShuffleLeavesAOneSongListAlone)
{
    useList(1);
    state.Rands = true;
    state.Loops = false;
    seq.PlayIt();
    for (int i = 0; i < 3; ++i) {
        endSong();
    }
    EXPECT_EQ(opened(), QStringList(4, song(1)));
    EXPECT_EQ(state.LastPick, 0);
}

TEST_F(SequencerTest, LoopsOffNeitherCountsNorTalksYetWaitsForTheVoice)
{
    useList(3);
    state.Loops = false;
    state.ManyTime = 1;
    seq.PlayIt();
    voice.speak(QStringLiteral("intro still going"));
    endSong();
    EXPECT_TRUE(seq.waitingForVoice());
    EXPECT_FALSE(seq.timer1().isActive());
    pumpFor(150ms);
    EXPECT_EQ(opened().size(), 1);

    voice.finishSpeaking();
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 2; }, 2s));
    EXPECT_TRUE(announcer.calls.isEmpty());
    EXPECT_EQ(state.SongsSinceTime, 0);
    EXPECT_FALSE(voice.spoken.contains(kBackToTheMusic));
    EXPECT_TRUE(seq.timer1().isActive());
}

TEST_F(SequencerTest, SlowStartsTheNextSongWhileTheAnnouncerTalks)
{
    useList(3);
    state.Slow = true;
    state.ManyTime = 1;
    seq.PlayIt();
    endSong();
    EXPECT_EQ(announcer.calls, QStringList({QStringLiteral("time")}));
    EXPECT_EQ(opened(), QStringList({song(1), song(2)}));
    EXPECT_EQ(voice.speakingState(), 1);
    // The voice is stopped before the announcement only, never after it.
    EXPECT_EQ(voice.calls, QStringList({QStringLiteral("stop"), QStringLiteral("speak the time"),
                                        QStringLiteral("speak ") + kBackToTheMusic}));
}

TEST_F(SequencerTest, BackToTheMusicFollowsTheWaitWhenAnAnnouncementWasDue)
{
    useList(3);
    state.ManyTime = 2;
    seq.PlayIt();
    endSong();
    EXPECT_TRUE(announcer.calls.isEmpty());
    EXPECT_EQ(opened().size(), 2);

    log.clear();
    endSong();
    EXPECT_EQ(announcer.calls, QStringList({QStringLiteral("time")}));
    EXPECT_TRUE(seq.waitingForVoice());
    voice.finishSpeaking();
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 1; }, 2s));
    EXPECT_EQ(log,
              QStringList({QStringLiteral("say the time"), QStringLiteral("say ") + kBackToTheMusic,
                           QStringLiteral("open ") + song(3)}));
    EXPECT_FALSE(state.TimeDue);
    EXPECT_EQ(state.SongsSinceTime, 0);
}

TEST_F(SequencerTest, BackToTheMusicWhenADueCountMeetsAnySwitch)
{
    useList(2);
    // Time is due but switched off, headlines are on but not due: nothing is
    // announced, yet the music is welcomed back.
    state.NowTime = false;
    state.NowNews = true;
    state.ManyTime = 1;
    seq.PlayIt();
    endSong();
    EXPECT_TRUE(announcer.calls.isEmpty());
    EXPECT_EQ(voice.spoken, QStringList({kBackToTheMusic}));

    voice.spoken.clear();
    state.NowNews = false;
    voice.finishSpeaking();
    endSong();
    EXPECT_TRUE(voice.spoken.isEmpty());
}

TEST_F(SequencerTest, CountsReachOrPassTheirThresholdAndZeroMeansNever)
{
    useList(2);
    state.SongsSinceTime = 10;  // the threshold was lowered meanwhile
    state.ManyTime = 4;
    seq.PlayIt();
    endSong();
    EXPECT_EQ(announcer.calls, QStringList({QStringLiteral("time")}));
    EXPECT_EQ(state.SongsSinceTime, 0);

    voice.finishSpeaking();
    ASSERT_TRUE(waitUntil([&] { return !seq.waitingForVoice(); }, 2s));
    announcer.calls.clear();
    voice.spoken.clear();
    state.ManyTime = 0;
    state.ManyNews = 0;
    state.NowNews = true;
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
    state.NowNews = true;
    state.ManyNews = 1;
    state.ManyTime = 0;
    announcer.holdNews = true;
    seq.PlayIt();
    endSong();
    EXPECT_EQ(announcer.calls, QStringList({QStringLiteral("news")}));
    voice.finishSpeaking();
    pumpFor(120ms);
    EXPECT_EQ(opened().size(), 1);

    announcer.pending = false;
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 2; }, 2s));
}

TEST_F(SequencerTest, PauseThenForwardPlaysOnYetStaysPaused)
{
    useList(3);
    seq.PlayIt();
    seq.command(TransportCommand::Pause);
    EXPECT_TRUE(seq.paused());
    EXPECT_FALSE(seq.timer1().isActive());
    seq.command(TransportCommand::Forward);
    EXPECT_EQ(opened().last(), song(2));
    EXPECT_TRUE(seq.paused());
    EXPECT_TRUE(seq.timer1().isActive());

    seq.command(TransportCommand::Pause);
    EXPECT_FALSE(seq.paused());
    EXPECT_EQ(player.calls.filter(QStringLiteral("PauseMPEG")).size(), 1);
    EXPECT_EQ(player.calls.filter(QStringLiteral("ResumeMPEG")).size(), 1);
}

TEST_F(SequencerTest, AnErrorEntryIsSkippedWithoutOpeningOrReadingIt)
{
    useList(3);
    state.SongList[1] = QStringLiteral("error");
    state.SongTitle = QStringLiteral("Earlier Title");
    seq.PlayIt();
    voice.finishSpeaking();
    endSong();
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 2; }, 2s));
    EXPECT_EQ(opened(), QStringList({song(1), song(3)}));
    EXPECT_EQ(state.SongIndex, 3);
    EXPECT_EQ(state.SongTitle, QStringLiteral("Earlier Title"));
    EXPECT_TRUE(state.Playing);
}

TEST_F(SequencerTest, ASongThatCannotBeOpenedEndsAtOnceWithoutAnnouncements)
{
    useList(3);
    player.failingPaths << song(2);
    state.ManyTime = 1;
    seq.PlayIt();
    endSong();
    voice.finishSpeaking();
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 3; }, 2s));
    EXPECT_EQ(opened(), QStringList({song(1), song(2), song(3)}));
    EXPECT_EQ(announcer.calls, QStringList({QStringLiteral("time")}));
    EXPECT_TRUE(state.Playing);
}

TEST_F(SequencerTest, PlaybackStopsWhenEverySongOfTheListFails)
{
    useList(4);
    for (int i = 1; i <= 4; ++i) {
        player.failingPaths << song(i);
    }
    seq.PlayIt();
    ASSERT_TRUE(waitUntil([&] { return !state.Playing; }, 2s));
    pumpFor(200ms);
    EXPECT_EQ(opened(), QStringList({song(1), song(2), song(3), song(4)}));
    EXPECT_EQ(log.last(), QStringLiteral("stop music"));
    EXPECT_FALSE(seq.timer1().isActive());

    // A later Play tries the list again from the current song.
    player.failingPaths.removeAll(song(3));
    seq.PlayIt();
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 8; }, 2s));
    pumpFor(100ms);
    EXPECT_EQ(opened().mid(4), QStringList({song(4), song(1), song(2), song(3)}));
    EXPECT_TRUE(state.Playing);
}

TEST_F(SequencerTest, AShuffledListKeepsLookingForItsOneGoodSong)
{
    useList(8);
    for (int i = 1; i <= 8; ++i) {
        if (i != 5) {
            player.failingPaths << song(i);
        }
    }
    state.Rands = true;
    seq.PlayIt();
    ASSERT_TRUE(waitUntil([&] { return opened().contains(song(5)); }, 5s));
    pumpFor(50ms);
    EXPECT_EQ(opened().last(), song(5));
    EXPECT_TRUE(state.Playing);
}

TEST_F(SequencerTest, ReleaseOffHoldsCommandsUntilTheNextSongHasStarted)
{
    useList(4);
    state.ManyTime = 1;
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
    EXPECT_FALSE(state.Playing);
    EXPECT_EQ(seq.heldCommands(), 0u);
}

TEST_F(SequencerTest, ReleaseOnRunsCommandsAtOnce)
{
    useList(4);
    state.Release = true;
    state.ManyTime = 1;
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
    EXPECT_TRUE(state.Playing);
}

TEST_F(SequencerTest, ReleaseOnStopDuringTheWaitStaysStopped)
{
    useList(3);
    state.Release = true;
    state.ManyTime = 1;
    seq.PlayIt();
    endSong();
    seq.command(TransportCommand::Stop);
    voice.finishSpeaking();
    pumpFor(150ms);
    EXPECT_EQ(opened().size(), 1);
    EXPECT_FALSE(state.Playing);
    EXPECT_FALSE(seq.timer1().isActive());
}

TEST_F(SequencerTest, HaltDropsTheWaitAndWhatWasHeld)
{
    useList(3);
    state.ManyTime = 1;
    seq.PlayIt();
    endSong();
    seq.command(TransportCommand::Forward);
    seq.halt();
    voice.finishSpeaking();
    pumpFor(150ms);
    EXPECT_EQ(opened().size(), 1);
    EXPECT_FALSE(seq.waitingForVoice());
    EXPECT_FALSE(seq.timer1().isActive());
}
