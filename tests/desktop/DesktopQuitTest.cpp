#include "common/FakeMpegPlayer.h"
#include "common/FakeSpeechEngine.h"
#include "common/TestSupport.h"
#include "core/RecordingAnnouncer.h"
#include "core/Sequencer.h"
#include "core/Tolvar.h"
#include "core/Tolvars.h"
#include "desktop/RadioMediaControl.h"

#include <gtest/gtest.h>

#include <QApplication>

using namespace std::chrono_literals;

namespace {

// The desktop can ask the radio to quit at any moment, also while the main
// window waits for the playlist window; nothing may start after that.
class DesktopQuitTest : public ::testing::Test {
protected:
    DesktopQuitTest()
    {
        RadioMediaControl::Links links;
        links.quit = [this] { window.Commands_Click(6); };
        control = std::make_unique<RadioMediaControl>(state, window.sequencer(), player, voice,
                                                      announcer, links);
    }

    testing_support::SettingsSandbox sandbox;
    Tolvars state;
    FakeMpegPlayer player;
    FakeSpeechEngine voice;
    RecordingAnnouncer announcer{voice};
    Tolvar window{state, player, voice, announcer};
    std::unique_ptr<RadioMediaControl> control;
};

TEST_F(DesktopQuitTest, QuitWhileThePlaylistWindowIsOpenStartsNothing)
{
    window.show();
    // An earlier visit accepted a list; this time the quit arrives while the
    // playlist window is up.
    state.SongList = {QStringLiteral("/music/1.mp3")};
    state.SongCount = 1;
    state.SongFile = state.SongList.first();
    state.ListAccepted = true;
    window.setPlaylistOpener([this] {
        control->quit();
        testing_support::pumpFor(30ms);
    });
    window.Commands_Click(5);

    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(announcer.calls.isEmpty());
    EXPECT_TRUE(player.calls.filter(QStringLiteral("OpenMPEG")).isEmpty());
}

TEST_F(DesktopQuitTest, QuitStopsTheMusicAndTheVoiceAsCloseDoes)
{
    window.show();
    state.SongList = {QStringLiteral("/music/1.mp3")};
    state.SongCount = 1;
    state.SongFile = state.SongList.first();
    window.PlayIt();
    voice.speak(QStringLiteral("still talking"));

    control->quit();
    ASSERT_TRUE(testing_support::waitUntil([this] { return !window.isVisible(); }, 2s));
    EXPECT_TRUE(player.calls.contains(QStringLiteral("StopMPEG")));
    EXPECT_TRUE(player.calls.contains(QStringLiteral("CloseMPEG")));
    EXPECT_EQ(voice.speakingState(), 0);
    EXPECT_FALSE(window.sequencer().timer1().isActive());
}

}  // namespace
