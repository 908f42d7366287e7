// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The demo station that comes with the program: a few short melodies and a
// playlist of them in share/tolvar-radio/demo. It is looked for beside the
// program's folder first (a build tree lays out bin/ and share/ as an install
// does, so one look serves both, under any prefix), then in the desktop's
// data folders. Lists names in folders only, opens no file; any thread.
class DemoStation {
public:
    // The playlist file's name inside the demo folder.
    static constexpr const char* kPlaylistName = "demo-station.pyl";

    // The demo folder as seen from the program's folder ("../share/...").
    static QString relativeToProgram();

    // The demo for the running program; none when it is not installed.
    static std::optional<DemoStation> forThisProgram();
    // The first candidate folder that holds songs, in the order given.
    static std::optional<DemoStation> findIn(const QStringList& folders);
    // The candidates for a program in programDir, with dataDirs the desktop's
    // data folders (each holding tolvar-radio/demo when installed there).
    static QStringList candidates(const QString& programDir, const QStringList& dataDirs);

    // Absolute, without "..".
    const QString& folder() const { return folder_; }
    // The songs of the folder, absolute, in name order: the station's order.
    const QStringList& songs() const { return songs_; }
    // The playlist file, for handing to the radio as a file manager would;
    // empty when the folder has none.
    QString playlist() const;

private:
    DemoStation(QString folder, QStringList songs)
        : folder_(std::move(folder)), songs_(std::move(songs))
    {
    }

    QString folder_;
    QStringList songs_;
};
