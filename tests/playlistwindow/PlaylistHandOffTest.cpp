// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RadioPlaylistLinks.h"
#include "common/FakeRadio.h"
#include "common/TestSupport.h"
#include "mainwindow/Tolvar.h"
#include "playlist/ScriptedPrompter.h"
#include "playlistwindow/Playlist.h"
#include "playlistwindow/PlaylistWindowHost.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

constexpr int kPlaylistCommand = 5;
constexpr int kCloseCommand = 6;

class PlaylistHandOffTest : public ::testing::Test, protected FakeRadio {
protected:
    void SetUp() override
    {
        for (const char* name : {"a.mp3", "b.mp3"}) {
            QFile song(music.filePath(QString::fromLatin1(name)));
            ASSERT_TRUE(song.open(QIODevice::WriteOnly));
            song.write(QByteArray(1000, '\0'));
        }
        main.setPlaylistOpener([this] {
            host.showModal();
            return playlist.ListAccepted();
        });
        main.setWindowUnloader([this] { host.unload(); });
        main.Form_Load();
    }

    // Runs the steps inside the playlist window while the main window's
    // playlist command shows it.
    void usePlaylistWindow(const std::function<void(Playlist&)>& steps)
    {
        QTimer::singleShot(0, [this, steps] { steps(*host.window()); });
        main.Commands_Click(kPlaylistCommand);
    }
    static void press(Playlist& window, int command)
    {
        window.findChild<QPushButton*>(QStringLiteral("CmdPlaylist_%1").arg(command))->click();
    }
    QString song(const char* name) const { return music.path() + "/" + QLatin1String(name); }

    QTemporaryDir playlists;
    QTemporaryDir music;
    ScriptedPrompter prompter;
    Tolvar main{settings, random, seq, player, voice};
    PlaylistWindowHost host{[this] {
        return std::make_unique<Playlist>(
            playlist, voice, player, prompter, PlaylistStore(playlists.path()),
            RadioPlaylistLinks(settings, random, voice, [this] { seq.PlayIt(); }));
    }};
};

}  // namespace

TEST_F(PlaylistHandOffTest, AnAcceptedPlaylistIsIntroducedAndPlayed)
{
    usePlaylistWindow([](Playlist& window) { press(window, Playlist::Cancel); });
    EXPECT_FALSE(playlist.ListAccepted());
    EXPECT_TRUE(announcer.calls.isEmpty());

    usePlaylistWindow([this](Playlist& window) {
        window.openFolder(music.path());
        window.builder().moveAll();
        press(window, Playlist::Accept);
    });
    EXPECT_EQ(announcer.calls, QStringList{QStringLiteral("intro")});
    EXPECT_EQ(playlist.SongList(), (QStringList{song("a.mp3"), song("b.mp3")}));
    EXPECT_EQ(player.openedPath, song("a.mp3"));
    EXPECT_TRUE(seq.Playing());
}

TEST_F(PlaylistHandOffTest, DoubleClickPlaysFromTheOpenWindowAndCancelKeepsTheAcceptedList)
{
    playlist.accept({QStringLiteral("/accepted/1.mp3")});
    playlist.setSongIndex(1);
    usePlaylistWindow([this](Playlist& window) {
        // It opens on the list that plays; the folder's songs follow it.
        EXPECT_EQ(window.builder().playlist().paths(),
                  QStringList{QStringLiteral("/accepted/1.mp3")});
        window.openFolder(music.path());
        window.builder().moveAll();
        auto* list2 = window.findChild<QListView*>(QStringLiteral("List2"));
        const int row =
            static_cast<int>(window.builder().playlist().paths().indexOf(song("b.mp3")));
        const QPoint at = list2->visualRect(list2->model()->index(row, 0)).center();
        QTest::mouseClick(list2->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list2->viewport(), Qt::LeftButton, {}, at);
        EXPECT_TRUE(window.isVisible());
        press(window, Playlist::Cancel);
    });
    EXPECT_TRUE(player.calls.contains(QStringLiteral("CloseMPEG")));
    EXPECT_EQ(player.openedPath, song("b.mp3"));
    EXPECT_TRUE(announcer.calls.isEmpty());
    EXPECT_FALSE(playlist.ListAccepted());
    EXPECT_EQ(playlist.SongList(), QStringList{QStringLiteral("/accepted/1.mp3")});

    main.Commands_Click(kCloseCommand);
    EXPECT_EQ(host.window(), nullptr);
}
