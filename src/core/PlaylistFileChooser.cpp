#include "core/PlaylistFileChooser.h"

#include "core/Tolvars.h"

#include <QFileDialog>
#include <QStandardPaths>

void choosePlaylistFiles(QWidget* owner, Tolvars& state)
{
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    const QStringList files = QFileDialog::getOpenFileNames(
        owner, QStringLiteral("Playlist"), music,
        QStringLiteral("Audio files (*.mp3 *.mp2 *.mp1 *.wav *.mid *.midi);;All files (*)"));
    acceptPlaylistFiles(state, files);
}

void acceptPlaylistFiles(Tolvars& state, const QStringList& files)
{
    if (files.isEmpty()) {
        state.ListAccepted = false;
        return;
    }
    state.SongList = files;
    state.SongCount = static_cast<std::int32_t>(files.size());
    state.SongFile = files.first();
    state.SongIndex = 1;
    state.ListAccepted = true;
}
