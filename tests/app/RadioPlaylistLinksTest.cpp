// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RadioPlaylistLinks.h"
#include "base/RandomSource.h"
#include "common/FakeMpegPlayer.h"
#include "common/FakeSpeechEngine.h"
#include "common/TestSupport.h"
#include "options/Ops.h"
#include "playback/AcceptedPlaylist.h"
#include "playlist/ScriptedPrompter.h"
#include "playlistwindow/Playlist.h"
#include "playlistwindow/PlaylistWindowHost.h"
#include "settings/RadioSettings.h"
#include "tageditor/frmEditTags.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// Presses a button of the next modal window of the given kind once it shows,
// and notes which window it sat over.
template <typename Window>
void pressInNextModal(const QString& button, QWidget*& seenParent)
{
    QTimer::singleShot(10, [button, &seenParent] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (window == nullptr) {
            pressInNextModal<Window>(button, seenParent);
            return;
        }
        seenParent = window->parentWidget();
        window->template findChild<QPushButton*>(button)->click();
    });
}

class RadioPlaylistLinksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = std::make_unique<PlaylistWindowHost>([this] {
            return std::make_unique<Playlist>(
                playlist, speech, player, prompter, PlaylistStore(playlists.path()),
                RadioPlaylistLinks(settings, random, speech,
                                   [this] { played << playlist.SongFile(); }));
        });
    }

    // Runs the action while the playlist window is shown modally, then accepts.
    void whileShown(const std::function<void(Playlist&)>& action)
    {
        QTimer::singleShot(0, [this, action] {
            action(*host->window());
            host->window()->findChild<QPushButton*>(QStringLiteral("CmdPlaylist_0"))->click();
        });
        host->showModal();
    }

    testing_support::SettingsSandbox sandbox;
    QTemporaryDir playlists;
    RadioSettings settings;
    AcceptedPlaylist playlist;
    RandomSource random;
    FakeSpeechEngine speech;
    FakeMpegPlayer player;
    ScriptedPrompter prompter;
    QStringList played;
    std::unique_ptr<PlaylistWindowHost> host;
};

}  // namespace

TEST_F(RadioPlaylistLinksTest, ShowModalReturnsOnceAcceptHidesTheWindow)
{
    QSignalSpy returned(host.get(), &PlaylistWindowHost::returned);
    whileShown([](Playlist& window) {
        EXPECT_TRUE(window.isModal());
        window.builder().playlist().replace({QStringLiteral("/music/a.mp3")});
    });
    EXPECT_EQ(returned.count(), 1);
    EXPECT_TRUE(playlist.ListAccepted());
    ASSERT_NE(host->window(), nullptr);
    EXPECT_FALSE(host->window()->isVisible());
}

TEST_F(RadioPlaylistLinksTest, OptionsOpenOverThePlaylistWindow)
{
    QWidget* optionsParent = nullptr;
    whileShown([&](Playlist& window) {
        pressInNextModal<Ops>(QStringLiteral("CmdOps_0"), optionsParent);
        window.findChild<QPushButton*>(QStringLiteral("CmdPlaylist_5"))->click();
    });
    EXPECT_EQ(optionsParent, host->window());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(RadioPlaylistLinksTest, IdTagOpensTheTagEditorForTheHighlightedEntry)
{
    QTemporaryDir music;
    QFile song(music.filePath(QStringLiteral("song.mp3")));
    ASSERT_TRUE(song.open(QIODevice::WriteOnly));
    song.write(QByteArray(1000, '\0'));
    song.close();

    QWidget* editorParent = nullptr;
    whileShown([&](Playlist& window) {
        window.openFolder(music.path());
        window.builder().moveAll();
        auto* list2 = window.findChild<QAbstractItemView*>(QStringLiteral("List2"));
        list2->selectionModel()->select(list2->model()->index(0, 0),
                                        QItemSelectionModel::ClearAndSelect);
        pressInNextModal<frmEditTags>(QStringLiteral("CmdOk_1"), editorParent);
        window.findChild<QPushButton*>(QStringLiteral("CmdPlaylist_3"))->click();
    });
    EXPECT_EQ(editorParent, host->window());
    EXPECT_EQ(host->window()->builder().TagFile(), music.path() + QStringLiteral("/song.mp3"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
