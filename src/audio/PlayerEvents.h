// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaType>
#include <QObject>
#include <QString>
#include <cstdint>

// A song the player has opened, and its length in frames (player_frame).
struct OpenedSong {
    QString path;
    std::int32_t totalFrames = 0;
};
Q_DECLARE_METATYPE(OpenedSong)

// What the player library tells the program when it happens. Emitted on the
// GUI thread (the player's reports reach it through queued calls, never from
// the output callback), after the player's own state has changed, so the
// player's queries already answer accordingly.
class PlayerEvents : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // The song OpenMPEG took is open: GetTotalframes now gives its length.
    void songOpened(const OpenedSong& song);
    // The song OpenMPEG took cannot be played. It counts as ended at once:
    // a PlayMPEG of it ends at once.
    void songFailed(const QString& path, const QString& error);
    // The range PlayMPEG started has been played to its end; AreMPEGAtEnd
    // answers 1 from now on.
    void songEnded();
};
