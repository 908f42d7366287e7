// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BroadcastTitles.h"

#include "broadcast/Broadcast.h"
#include "broadcast/StreamTitle.h"
#include "playback/AcceptedPlaylist.h"
#include "playback/Sequencer.h"
#include "tags/SongInfo.h"

BroadcastTitles::BroadcastTitles(const Sequencer& sequencer, const AcceptedPlaylist& playlist,
                                 Broadcast& broadcast, QObject* parent)
    : QObject(parent)
{
    connect(&sequencer, &Sequencer::songStarted, this, [&playlist, &broadcast] {
        broadcast.setTitle(StreamTitle::ofFile(playlist.SongFile()));
    });
    connect(&sequencer, &Sequencer::songInfoRead, this,
            [&playlist, &broadcast](const QString& path, const SongInfo& info) {
                // Tags of a song that is no longer the one playing are old news.
                if (path == playlist.SongFile()) {
                    broadcast.setTitle(StreamTitle::ofSong(path, info));
                }
            });
    connect(&sequencer, &Sequencer::stateChanged, this, [&broadcast](PlaybackState state) {
        if (state == PlaybackState::WaitingForVoice || state == PlaybackState::Stopped) {
            broadcast.setTitle(broadcast.stationName());
        }
    });
}
