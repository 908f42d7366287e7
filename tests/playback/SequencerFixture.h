#pragma once

#include "base/RandomSource.h"
#include "common/FakeMpegPlayer.h"
#include "common/FakeSpeechEngine.h"
#include "common/RecordingAnnouncer.h"
#include "playback/AcceptedPlaylist.h"
#include "playback/Sequencer.h"
#include "settings/RadioSettings.h"

#include <gtest/gtest.h>

// A sequencer over a fake player, voice and announcer that share one event
// log; every song of the list is "/music/<n>.mp3".
class SequencerTest : public ::testing::Test {
protected:
    SequencerTest()
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

    QStringList log;
    RadioSettings settings;
    AcceptedPlaylist playlist;
    RandomSource random;
    FakeMpegPlayer player{&log};
    FakeSpeechEngine voice{&log};
    RecordingAnnouncer announcer{voice};
    Sequencer seq{settings, playlist, random, player, voice, announcer};
};
