// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SecondStart.h"

#include "desktop/HandedSong.h"
#include "files/NativePath.h"
#include "launch/CommandLine.h"
#include "launch/SongCollector.h"

QStringList SecondStart::handable(const QStringList& songs)
{
    // The running radio refuses a list with one song it cannot take; those
    // are told here and left out. A name with bytes that are no UTF-8 cannot
    // travel over the bus as text.
    QStringList taken;
    for (const QString& song : songs) {
        QString problem = refusalOfHandedSong(song);
        if (problem.isEmpty() && NativePath::hasKeptBytes(song)) {
            problem = QStringLiteral("Cannot be handed to the running radio: %1")
                          .arg(NativePath::readable(song));
        }
        if (problem.isEmpty()) {
            taken << song;
        } else {
            errors_ << "tolvar-radio: " << problem << Qt::endl;
        }
    }
    return taken;
}

std::optional<int> SecondStart::handOver(const CommandLine& line)
{
    if (!radio_.isRunning()) {
        return std::nullopt;
    }
    QString refusal;
    if (!line.namesAnything()) {
        refusal = radio_.raise();
    } else {
        const SongCollector::Result found = SongCollector().collect(line.paths());
        for (const QString& problem : line.problems() + found.problems) {
            errors_ << "tolvar-radio: " << problem << Qt::endl;
        }
        const QStringList songs = handable(found.songs);
        if (songs.isEmpty()) {
            errors_ << "tolvar-radio: nothing to play" << Qt::endl;
            return 1;
        }
        refusal = radio_.startSongs(songs);
    }
    if (refusal.isEmpty()) {
        return 0;
    }
    errors_ << "tolvar-radio: the running radio did not answer (" << refusal
            << "); starting another" << Qt::endl;
    return std::nullopt;
}
