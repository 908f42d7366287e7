#include "app/SecondStart.h"

#include "launch/CommandLine.h"
#include "launch/SongCollector.h"

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
        if (found.songs.isEmpty()) {
            errors_ << "tolvar-radio: nothing to play" << Qt::endl;
            return 1;
        }
        refusal = radio_.startSongs(found.songs);
    }
    if (refusal.isEmpty()) {
        return 0;
    }
    errors_ << "tolvar-radio: the running radio did not answer (" << refusal
            << "); starting another" << Qt::endl;
    return std::nullopt;
}
