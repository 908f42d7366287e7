// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RadioPlaylistLinks.h"
#include "common/FakeRadio.h"
#include "common/TestSupport.h"
#include "mainwindow/Tolvar.h"
#include "options/Ops.h"
#include "playlistwindow/MessageBoxPrompter.h"
#include "playlistwindow/Playlist.h"
#include "playlistwindow/PlaylistWindowHost.h"
#include "tageditor/frmEditTags.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace std::chrono_literals;

namespace {

// How the user ends the program.
enum class Quit { MediaControl, CloseButton, WindowManager };

struct Case {
    const char* name;
    Quit quit;
    // The playlist window's button that opens the window over it.
    const char* button;
    // True when the window over it is the one expected.
    bool (*isExpected)(QWidget*);
};

template <typename Window>
bool is(QWidget* widget)
{
    return qobject_cast<Window*>(widget) != nullptr;
}

// The radio's windows wired as main() wires them, on fakes.
class QuitFromAnyWindowTest : public ::testing::TestWithParam<Case>, protected FakeRadio {
protected:
    QuitFromAnyWindowTest()
    {
        QFile song(music.filePath(QStringLiteral("song.mp3")));
        if (song.open(QIODevice::WriteOnly)) {
            song.write(QByteArray(1000, '\0'));
        }
        tolvar.setPlaylistOpener([this] {
            host.showModal();
            return playlist.ListAccepted();
        });
        tolvar.setWindowUnloader([this] { host.unload(); });
        tolvar.Form_Load();
        tolvar.show();
    }

    // Calls the action once a modal window that passes the check is up.
    void whenModal(bool (*check)(QWidget*), std::function<void(QWidget*)> action)
    {
        QTimer::singleShot(10, &tolvar, [this, check, action] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || !check(modal) || !modal->isVisible()) {
                whenModal(check, action);
                return;
            }
            action(modal);
        });
    }

    void quit(Quit how)
    {
        switch (how) {
            case Quit::MediaControl:
                // The desktop's Quit comes later through the event loop.
                QTimer::singleShot(0, &tolvar, [this] { tolvar.exitProgram(); });
                break;
            case Quit::CloseButton:
                tolvar.Commands_Click(6);
                break;
            case Quit::WindowManager:
                tolvar.close();
                break;
        }
    }

    QTemporaryDir playlists;
    QTemporaryDir music;
    Tolvar tolvar{settings, random, seq, player, voice};
    MessageBoxPrompter prompter;
    PlaylistWindowHost host{[this] {
        return std::make_unique<Playlist>(
            playlist, voice, player, prompter, PlaylistStore(playlists.path()),
            RadioPlaylistLinks(settings, random, voice, [this] { seq.PlayIt(); }));
    }};
};

TEST_P(QuitFromAnyWindowTest, EndsEveryWindowAndStartsNothing)
{
    const Case& c = GetParam();
    bool quitAsked = false;
    whenModal(&is<Playlist>, [&](QWidget* modal) {
        auto* window = static_cast<Playlist*>(modal);
        window->openFolder(music.path());
        window->builder().moveAll();
        auto* list2 = window->findChild<QAbstractItemView*>(QStringLiteral("List2"));
        list2->selectionModel()->select(list2->model()->index(0, 0),
                                        QItemSelectionModel::ClearAndSelect);
        whenModal(c.isExpected, [&](QWidget*) {
            quitAsked = true;
            quit(c.quit);
        });
        window->findChild<QPushButton*>(QString::fromLatin1(c.button))->click();
    });
    // A stuck window would keep the test waiting: end it after a while.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        while (QWidget* modal = QApplication::activeModalWidget()) {
            modal->hide();
        }
    });
    watchdog.start(10s);

    tolvar.Commands_Click(5);
    testing_support::pumpFor(50ms);

    EXPECT_TRUE(watchdog.isActive()) << "a window stayed open after the quit";
    EXPECT_TRUE(quitAsked);
    EXPECT_EQ(host.window(), nullptr);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
    }
    EXPECT_TRUE(announcer.calls.isEmpty());
    EXPECT_TRUE(player.calls.filter(QStringLiteral("OpenMPEG")).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    SecondaryWindows, QuitFromAnyWindowTest,
    ::testing::Values(
        Case{"OptionsByMediaControl", Quit::MediaControl, "CmdPlaylist_5", &is<Ops>},
        Case{"OptionsByCloseButton", Quit::CloseButton, "CmdPlaylist_5", &is<Ops>},
        Case{"OptionsByWindowManager", Quit::WindowManager, "CmdPlaylist_5", &is<Ops>},
        Case{"TagEditorByMediaControl", Quit::MediaControl, "CmdPlaylist_3", &is<frmEditTags>},
        Case{"TagEditorByCloseButton", Quit::CloseButton, "CmdPlaylist_3", &is<frmEditTags>},
        Case{"TagEditorByWindowManager", Quit::WindowManager, "CmdPlaylist_3", &is<frmEditTags>},
        Case{"RemoveQuestionByMediaControl", Quit::MediaControl, "CmdPlaylist_6", &is<QMessageBox>},
        Case{"RemoveQuestionByWindowManager", Quit::WindowManager, "CmdPlaylist_6",
             &is<QMessageBox>}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
