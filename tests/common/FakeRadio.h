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
// and announcer, with the settings store in a temporary folder. Fixtures
// derive from it and add the windows or controls they drive.
struct FakeRadio {
    enum class Log { Separate, Shared };

    // With a shared log the player and the voice write their calls into
    // `log`, in the order they happen.
    explicit FakeRadio(Log kind = Log::Separate)
        : player(kind == Log::Shared ? &log : nullptr), voice(kind == Log::Shared ? &log : nullptr)
    {
    }

    testing_support::SettingsSandbox sandbox;
    QStringList log;
    RadioSettings settings;
    AcceptedPlaylist playlist;
    RandomSource random;
    FakeMpegPlayer player;
    FakeSpeechEngine voice;
    RecordingAnnouncer announcer{voice};
    Sequencer seq{settings, playlist, random, player, voice, announcer};
};
