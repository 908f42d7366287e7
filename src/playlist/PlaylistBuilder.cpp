// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PlaylistBuilder.h"

#include "base/FileExists.h"
#include "base/TrimSpaces.h"
#include "playback/AcceptedPlaylist.h"
#include "playlist/FolderListing.h"
#include "playlist/PathText.h"
#include "playlist/PlaylistStore.h"
#include "playlist/Prompter.h"

#include <algorithm>

namespace {

Prompt stopMessage(const QString& text, const QString& title, bool beep = false)
{
    return {text, title, PromptButtons::Ok, PromptIcon::Stop, beep};
}

}  // namespace

PlaylistBuilder::PlaylistBuilder(AcceptedPlaylist& accepted, Prompter& prompter,
                                 PlaylistStore& store)
    : accepted_(accepted), prompter_(prompter), store_(store)
{
}

void PlaylistBuilder::listFolder(const QString& folder)
{
    showFolderFiles(folder, FolderListing::of(folder).audioFiles);
}

void PlaylistBuilder::showFolderFiles(const QString& folder, const QStringList& audioFiles)
{
    folder_ = folder;
    folderFiles_.setStringList(audioFiles);
}

void PlaylistBuilder::appendFolderFiles(const QStringList& names)
{
    QStringList paths;
    paths.reserve(names.size());
    for (const QString& name : names) {
        paths.append(JoinPath(folder_, name));
    }
    playlist_.append(paths);
}

void PlaylistBuilder::moveAll()
{
    appendFolderFiles(folderFiles_.stringList());
}

void PlaylistBuilder::moveRows(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const QStringList& files = folderFiles_.stringList();
    QStringList names;
    names.reserve(rows.size());
    for (const int row : rows) {
        if (row >= 0 && row < files.size()) {
            names.append(files.at(row));
        }
    }
    appendFolderFiles(names);
}

void PlaylistBuilder::RemoveSong(std::optional<int> highlighted)
{
    const PromptAnswer answer = prompter_.ask(
        {QStringLiteral("Remove highlighted file from playlist?"), QStringLiteral("Remove Song?"),
         PromptButtons::OkCancel, PromptIcon::Stop, false});
    if (answer != PromptAnswer::Ok || !highlighted) {
        return;
    }
    playlist_.removeAt(*highlighted);
}

void PlaylistBuilder::clear()
{
    playlist_.clear();
}

void PlaylistBuilder::chooseEntry(int row)
{
    if (row >= 0 && row < playlist_.count()) {
        accepted_.setSongFile(playlist_.pathAt(row));
    }
}

void PlaylistBuilder::PassList()
{
    accepted_.accept(playlist_.paths());
    shownPlaying_ = accepted_.SongList();
}

void PlaylistBuilder::showPlayingList()
{
    const QStringList& playing = accepted_.SongList();
    if (playing == shownPlaying_) {
        return;
    }
    shownPlaying_ = playing;
    playlist_.replace(playing);
}

void PlaylistBuilder::cancel()
{
    accepted_.decline();
}

bool PlaylistBuilder::isMissing(const QString& typedName)
{
    return typedName.isEmpty() || typedName.startsWith(QLatin1Char('('));
}

void PlaylistBuilder::listSavedNames()
{
    appendSavedNames(store_.savedNames());
}

void PlaylistBuilder::appendSavedNames(const QStringList& names)
{
    const int at = savedNames_.rowCount();
    savedNames_.insertRows(at, static_cast<int>(names.size()));
    for (int i = 0; i < names.size(); ++i) {
        savedNames_.setData(savedNames_.index(at + i), names.at(i));
    }
}

void PlaylistBuilder::SaveList(const QString& typedName)
{
    if (isMissing(typedName)) {
        prompter_.ask(stopMessage(QStringLiteral("Please enter a name to save list."),
                                  QStringLiteral("Name missing"), true));
        return;
    }
    const QString stem = trimSpaces(typedName);
    // Asked whenever a load of the name would find a playlist, which the save
    // then replaces.
    if (FileExists(store_.fileToLoad(stem))) {
        const PromptAnswer answer =
            prompter_.ask({QStringLiteral("Overwrite existing file ") + stem + QLatin1Char('?'),
                           QStringLiteral("File already exists!"), PromptButtons::YesNo,
                           PromptIcon::Stop, false});
        if (answer != PromptAnswer::Yes) {
            return;
        }
    }
    appendSavedNames({typedName});
    if (!store_.write(store_.fileToSave(stem), playlist_.paths())) {
        prompter_.ask(stopMessage(QStringLiteral("Error saving file"), QStringLiteral("Error")));
    }
}

void PlaylistBuilder::GetFiles(const QString& typedName)
{
    accepted_.setSongIndex(1);
    if (isMissing(typedName)) {
        prompter_.ask(
            stopMessage(QStringLiteral("No playlists have been saved yet. Or none selected."),
                        QStringLiteral("No lists saved, or selected."), true));
        return;
    }
    const QString fileName = store_.fileToLoad(trimSpaces(typedName));
    if (!FileExists(fileName)) {
        prompter_.ask(stopMessage(QStringLiteral("None found."), QStringLiteral("None found")));
        return;
    }
    // A file that is there but cannot be read, or is too large for a
    // playlist, is not found either: the playlist stays as it was.
    const std::optional<QStringList> paths = store_.read(fileName);
    if (!paths) {
        prompter_.ask(stopMessage(QStringLiteral("None found."), QStringLiteral("None found")));
        return;
    }
    playlist_.replace(*paths);
    if (!paths->isEmpty()) {
        accepted_.setSongFile(paths->first());
    }
}

bool PlaylistBuilder::chooseTagFile(std::optional<int> highlighted)
{
    if (playlist_.count() == 0 || !highlighted || *highlighted < 0 ||
        *highlighted >= playlist_.count()) {
        prompter_.ask({QStringLiteral("Move file to \"Create MP3 Playlist\" to edit tags. "
                                      "Highlight file you wish to edit."),
                       QStringLiteral("Information"), PromptButtons::Ok, PromptIcon::Information,
                       false});
        return false;
    }
    tagFile_ = playlist_.pathAt(*highlighted);
    return true;
}
