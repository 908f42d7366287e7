#pragma once

#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// The saved playlists of one folder: file names, the listing of saved names,
// and whole-file reading and writing. Shows nothing; GUI thread only.
class PlaylistStore {
public:
    using SaveFileFactory = std::function<std::unique_ptr<QSaveFile>(const QString& fileName)>;

    // No playlist is this large; reading one would hold the program up.
    static constexpr std::int64_t kMaxFileBytes = 64 * 1024 * 1024;

    explicit PlaylistStore(QString folder);

    const QString& folder() const { return folder_; }
    // folder + separator + stem + ".pyl".
    QString fileFor(const QString& stem) const;
    // One name per "*.pyl*" file that is not hidden, alphabetically: the file
    // name less everything from its last ".".
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
    QString folder_;
    SaveFileFactory makeSaveFile_;
};
