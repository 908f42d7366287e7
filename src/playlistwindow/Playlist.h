// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playlist/AdCycle.h"
#include "playlist/FolderChain.h"
#include "playlist/PlaylistBuilder.h"
#include "playlist/PlaylistStore.h"
#include "playlist/PlaylistVoice.h"
#include "playlistwindow/PlaylistLayout.h"
#include "playlistwindow/PlaylistWindowLinks.h"
#include "ui/RoundedDialog.h"

#include <QHash>
#include <array>
#include <optional>

class ClickArea;
class MpegPlayer;
class Prompter;
class QComboBox;
class QFrame;
class QLabel;
class QListView;
class QPushButton;
class QTimer;
class SpeechEngine;
class AcceptedPlaylist;

// The playlist window: the user picks audio files from drives and folders
// into a playlist, saves and loads it by name, and accepts it for playback.
// "Accept" and "Cancel" only hide the window (done()), so everything in it is
// still there at the next opening; a close request from the platform emits
// unloaded(), after which the owner creates the window anew. The operations
// live in PlaylistBuilder and PlaylistVoice; this class wires the controls to
// them. GUI thread only.
class Playlist : public RoundedDialog {
    Q_OBJECT
public:
    enum Command {
        Accept = 0,
        LoadPlaylist = 1,
        SavePlaylist = 2,
        IdTag = 3,
        Help = 4,
        Options = 5,
        Remove = 6,
        About = 7,
        Cancel = 8,
        Clear = 9,
    };
    static constexpr int kCommandCount = playlist_layout::kCommandCount;

    Playlist(AcceptedPlaylist& accepted, SpeechEngine& speech, MpegPlayer& player,
             Prompter& prompter, PlaylistStore store, PlaylistWindowLinks links,
             QWidget* parent = nullptr);
    ~Playlist() override;

    // Loads the playlist named in Combo1.
    void GetFiles();
    // Lists the saved names and switches the player's auto-repeat on.
    void SetMeUp();
    // Speaks the advertisement.
    void Ad();

    // Opens a folder as the user does in Dir1; false when it cannot be read.
    bool openFolder(const QString& folder);
    PlaylistBuilder& builder() { return builder_; }
    const PlaylistVoice& voice() const { return voice_; }

signals:
    // A close request from the platform ended the window; its lists, folder
    // and name are gone.
    void unloaded();

protected:
    // Each showing brings up the list that plays, when it is new.
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void CmdPlaylist_Click(int index);
    void Drive1_Change(int index);
    void Dir1_Change(const QStringList& audioFiles);
    void All_Click();
    void MoveHighlight_Click();
    void List2_Click();
    void List2_DblClick();
    void Timer2_Timer();
    void ads_Click();

    void idTag();
    void options();

    void createBackground();
    void createCaptions();
    void createBrowsers();
    void createLists();
    void createMovePanels();
    void createNameBox();
    void createCommands();
    void createAds();
    ClickArea* createMovePanel(const char* name, int labelIndex, const QString& caption,
                               const QString& tip, const QRect& geometry);

    void fillDrives();
    void showDriveOf(const QString& folder);
    void showFolder();
    std::optional<int> highlightedEntry() const;

    AcceptedPlaylist& accepted_;
    MpegPlayer& player_;
    PlaylistStore store_;
    PlaylistBuilder builder_;
    PlaylistVoice voice_;
    PlaylistWindowLinks links_;
    FolderChain folders_;
    AdCycle adCycle_;
    QHash<QString, QString> lastFolderOnDrive_;

    QFrame* background_ = nullptr;
    QComboBox* drive1_ = nullptr;
    QListView* dir1_ = nullptr;
    QListView* list1_ = nullptr;
    QListView* list2_ = nullptr;
    QComboBox* combo1_ = nullptr;
    std::array<QPushButton*, kCommandCount> commands_{};
    std::array<ClickArea*, 2> ads_{};
    QTimer* timer2_ = nullptr;
};
