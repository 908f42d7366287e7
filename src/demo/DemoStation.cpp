// SPDX-License-Identifier: GPL-3.0-or-later
#include "demo/DemoStation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
// The playlist window's song patterns; matched without regard to case.
const QStringList kSongPatterns{QStringLiteral("*.mp3"), QStringLiteral("*.mp2"),
                                QStringLiteral("*.wav"), QStringLiteral("*.mid"),
                                QStringLiteral("*.midi")};
const QString kDataSubfolder = QStringLiteral("tolvar-radio/demo");
}  // namespace

QString DemoStation::relativeToProgram()
{
    // Set by the build from the install layout (bin/ and share/ by default).
    return QStringLiteral(TOLVAR_DEMO_RELATIVE_DIR);
}

std::optional<DemoStation> DemoStation::forThisProgram()
{
    return findIn(
        candidates(QCoreApplication::applicationDirPath(),
                   QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)));
}

QStringList DemoStation::candidates(const QString& programDir, const QStringList& dataDirs)
{
    QStringList out;
    if (!programDir.isEmpty()) {
        out.append(QDir::cleanPath(QDir(programDir).filePath(relativeToProgram())));
    }
    for (const QString& dataDir : dataDirs) {
        if (!dataDir.isEmpty()) {
            out.append(QDir::cleanPath(QDir(dataDir).filePath(kDataSubfolder)));
        }
    }
    return out;
}

std::optional<DemoStation> DemoStation::findIn(const QStringList& folders)
{
    for (const QString& candidate : folders) {
        const QFileInfo info(candidate);
        if (!info.isDir()) {
            continue;
        }
        const QDir dir(QDir::cleanPath(info.absoluteFilePath()));
        const QStringList names = dir.entryList(kSongPatterns, QDir::Files | QDir::Readable,
                                                QDir::Name | QDir::IgnoreCase);
        if (names.isEmpty()) {
            continue;
        }
        QStringList songs;
        songs.reserve(names.size());
        for (const QString& name : names) {
            songs.append(dir.absoluteFilePath(name));
        }
        return DemoStation(dir.absolutePath(), std::move(songs));
    }
    return std::nullopt;
}

QString DemoStation::playlist() const
{
    const QFileInfo file(QDir(folder_).filePath(QString::fromLatin1(kPlaylistName)));
    return file.isFile() ? file.absoluteFilePath() : QString();
}
