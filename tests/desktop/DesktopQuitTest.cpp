// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/FakeRadio.h"
#include "common/TestSupport.h"
#include "desktop/RadioMediaControl.h"
#include "mainwindow/Tolvar.h"

#include <gtest/gtest.h>

#include <QApplication>

using namespace std::chrono_literals;

namespace {

// The desktop can ask the radio to quit at any moment, also while the main
// window waits for the playlist window; nothing may start after that.
class DesktopQuitTest : public ::testing::Test, protected FakeRadio {
protected:
    DesktopQuitTest()
    {
        RadioMediaControl::Links links;
        links.quit = [this] { window.exitProgram(); };
        control =
            std::make_unique<RadioMediaControl>(settings, playlist, seq, player, voice, links);
        window.Form_Load();
    }

    Tolvar window{settings, random, seq, player, voice};
    std::unique_ptr<RadioMediaControl> control;
};

TEST_F(DesktopQuitTest, QuitWhileThePlaylistWindowIsOpenStartsNothing)
{
    window.show();
    // An earlier visit accepted a list; this time the quit arrives while the
    // playlist window is up.
    playlist.accept({QStringLiteral("/music/1.mp3")});
    window.setPlaylistOpener([this] {
        control->quit();
        testing_support::pumpFor(30ms);
        return playlist.ListAccepted();
    });
    window.Commands_Click(5);

    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(announcer.calls.isEmpty());
    EXPECT_TRUE(player.calls.filter(QStringLiteral("OpenMPEG")).isEmpty());
}

TEST_F(DesktopQuitTest, QuitStopsTheMusicAndTheVoiceAsCloseDoes)
{
    window.show();
    playlist.accept({QStringLiteral("/music/1.mp3")});
    seq.PlayIt();
    voice.speak(QStringLiteral("still talking"));

    control->quit();
    ASSERT_TRUE(testing_support::waitUntil([this] { return !window.isVisible(); }, 2s));
    EXPECT_TRUE(player.calls.contains(QStringLiteral("StopMPEG")));
    EXPECT_TRUE(player.calls.contains(QStringLiteral("CloseMPEG")));
    EXPECT_EQ(voice.speakingState(), 0);
    EXPECT_FALSE(seq.progressTimer().isActive());
}

}  // namespace
