// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class AcceptedPlaylist;
class Broadcast;
class Sequencer;

// What listeners' players show, kept up with the radio: the song's file
// name as it starts, "Artist - Title" once its tags are read, the station's
// name while the announcer talks between songs and while nothing plays.
// GUI thread only.
class BroadcastTitles : public QObject {
    Q_OBJECT
public:
    BroadcastTitles(const Sequencer& sequencer, const AcceptedPlaylist& playlist,
                    Broadcast& broadcast, QObject* parent = nullptr);
};
