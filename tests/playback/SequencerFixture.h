#pragma once

#include "common/FakeRadio.h"

#include <gtest/gtest.h>

// The sequencer over fakes that share one event log; every song of the list
// is "/music/<n>.mp3".
class SequencerTest : public ::testing::Test, protected FakeRadio {
protected:
    SequencerTest() : FakeRadio(Log::Shared)
    {
        settings.Loops = true;
        settings.NowTime = true;
        settings.ManyTime = 4;
        settings.ManyNews = 15;
        settings.FlushCount = 500;
        playlist.setSongIndex(1);
    }

    void useList(int songs)
    {
        QStringList paths;
        for (int i = 1; i <= songs; ++i) {
            paths << song(i);
        }
        playlist.accept(paths);
    }
    static QString song(int i) { return QStringLiteral("/music/%1.mp3").arg(i); }

    // Paths handed to OpenMPEG, in order.
    QStringList opened() const
    {
        QStringList paths;
        for (const QString& line : log) {
            if (line.startsWith(QLatin1String("open "))) {
                paths << line.mid(5);
            }
        }
        return paths;
    }
    void endSong()
    {
        player.atEnd = 1;
        seq.CheckSongEnd();
    }
    // Plays the first song to its end with only the headlines due, and keeps
    // them on their way.
    void playToHeadlinesOnTheirWay()
    {
        settings.NowNews = true;
        settings.ManyNews = 1;
        settings.ManyTime = 0;
        announcer.holdNews = true;
        seq.PlayIt();
        endSong();
    }
};
