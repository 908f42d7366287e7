// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// The saved playlists: file names, the listing of saved names, and whole-file
// reading and writing. Playlists are saved into one folder; an earlier folder,
// when given, still lends the playlists saved there to the listing and to
// loading, behind those of the first. ".pyl" is matched whatever its case.
// Shows nothing; GUI thread only.
class PlaylistStore {
public:
    using SaveFileFactory = std::function<std::unique_ptr<QSaveFile>(const QString& fileName)>;

    // No playlist is this large; reading one would hold the program up.
    static constexpr std::int64_t kMaxFileBytes = 64 * 1024 * 1024;

    explicit PlaylistStore(QString folder, QString earlierFolder = {});

    const QString& folder() const { return folder_; }
    // folder + separator + stem + ".pyl".
    QString fileFor(const QString& stem) const;
    // The file a load of the stem reads: stem + ".pyl" in any case of the
    // extension, from the folder, else from the earlier folder; fileFor(stem)
    // when there is none.
    QString fileToLoad(const QString& stem) const;
    // The file a save under the stem writes: the folder's own file of that
    // stem in any case of the extension, else fileFor(stem).
    QString fileToSave(const QString& stem) const;
    // One name per "*.pyl*" file of both folders, in any case, alphabetically:
    // the file name less everything from its last ".". Hidden files are left
    // out, except ".pyl" itself (the file of an empty stem), which lists as
    // the empty name. A file of the earlier folder that the folder also has is
    // listed once.
    QStringList savedNames() const;

    // Writes the playlist to a temporary file beside the target and renames it
    // over the target only once it is complete, so a failure leaves any older
    // playlist whole. False on any failure.
    bool write(const QString& fileName, const QStringList& paths) const;
    // The entries of a playlist file, read line by line (see PylReader);
    // nothing when it is no regular file, is over kMaxFileBytes, or cannot
    // be read.
    std::optional<QStringList> read(const QString& fileName) const;

    // Replaces how the temporary file is made (tests inject failing devices).
    void setSaveFileFactory(SaveFileFactory factory);

private:
    QStringList folders() const;

    QString folder_;
    QString earlierFolder_;
    SaveFileFactory makeSaveFile_;
};
