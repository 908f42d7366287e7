// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playlist/FileNamesModel.h"
#include "playlist/PlaylistModel.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringListModel>
#include <optional>

class AcceptedPlaylist;
class Prompter;
class PlaylistStore;

// What the playlist window does, without the window: the folder's audio files
// (List1), the playlist being built (List2 with its paths), the saved names
// (Combo1's list), and saving, loading and handing the playlist over to the
// accepted playlist. Every message goes through the Prompter. GUI thread only.
class PlaylistBuilder {
public:
    PlaylistBuilder(AcceptedPlaylist& accepted, Prompter& prompter, PlaylistStore& store);

    QStringListModel& folderFiles() { return folderFiles_; }
    PlaylistModel& playlist() { return playlist_; }
    QStringListModel& savedNames() { return savedNames_; }
    const QString& folder() const { return folder_; }

    // Lists the audio files of the folder the user opened.
    void listFolder(const QString& folder);
    // The same with the files already read from the folder.
    void showFolderFiles(const QString& folder, const QStringList& audioFiles);
    void moveAll();
    // Appends the given rows of the folder's file list, first to last.
    void moveRows(QList<int> rows);
    // Asks before removing; nothing is removed without a highlighted row.
    void RemoveSong(std::optional<int> highlighted);
    void clear();

    // A click on an entry makes it the current song.
    void chooseEntry(int row);
    // Hands the playlist to playback; an empty one leaves the previous list.
    void PassList();
    // Shows the playing list when one was started another way (the command
    // line, the demo station, the desktop) since this list was last handed
    // over or shown; otherwise the list stays as the user left it.
    void showPlayingList();
    void cancel();

    void listSavedNames();
    void SaveList(const QString& typedName);
    void GetFiles(const QString& typedName);

    // Sets TagFile to the highlighted entry; says what to do when there is none.
    bool chooseTagFile(std::optional<int> highlighted);
    // The file handed to the tag editor.
    const QString& TagFile() const { return tagFile_; }

    // Names that count as "no name given".
    static bool isMissing(const QString& typedName);

private:
    void appendFolderFiles(const QStringList& names);
    void appendSavedNames(const QStringList& names);

    AcceptedPlaylist& accepted_;
    Prompter& prompter_;
    PlaylistStore& store_;
    QString folder_;
    FileNamesModel folderFiles_;
    PlaylistModel playlist_;
    QStringListModel savedNames_;
    QString tagFile_;
    QStringList shownPlaying_;  // the playing list as this list last matched it
};
