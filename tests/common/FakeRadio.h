// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/RandomSource.h"
#include "common/FakeMpegPlayer.h"
#include "common/FakeSpeechEngine.h"
#include "common/RecordingAnnouncer.h"
#include "common/TestSupport.h"
#include "playback/AcceptedPlaylist.h"
#include "playback/Sequencer.h"
#include "settings/RadioSettings.h"

#include <QStringList>

// The radio's state owners and the real sequencer over a fake player, voice
// and announcer, with the settings store in a temporary folder; until loaded
// (LoadSettings) or set, every setting is off or 0. The player and the voice
// write their calls into `log`, in the order they happen. Fixtures derive from
// it and add the windows or controls they drive.
struct FakeRadio {
    testing_support::SettingsSandbox sandbox;
    QStringList log;
    RadioSettings settings;
    AcceptedPlaylist playlist;
    RandomSource random;
    FakeMpegPlayer player{&log};
    FakeSpeechEngine voice{&log};
    RecordingAnnouncer announcer{voice};
    Sequencer seq{settings, playlist, random, player, voice, announcer};

    // The announcements as the program ships them: Loops and Time on, the
    // time every 4 songs, the headlines (switched off) every 15; a flushed
    // start (FlushBack, off) from frame 500, 11 ms in.
    void announceAsShipped()
    {
        settings.Loops = true;
        settings.NowTime = true;
        settings.ManyTime = 4;
        settings.ManyNews = 15;
        settings.FlushCount = 500;
    }

    // Accepts a list of `songs` songs, song(1) to song(songs).
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
        for (const QString& call : player.calls) {
            if (call.startsWith(QLatin1String("OpenMPEG "))) {
                paths << call.mid(9).section(QLatin1Char(' '), 0, -2);
            }
        }
        return paths;
    }
    // The player tells the end of the song now playing.
    void endSong() { player.reachEnd(); }
};
