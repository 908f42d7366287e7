// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/RadioLaunchAdaptor.h"

#include "desktop/HandedSong.h"
#include "desktop/MediaControl.h"

RadioLaunchAdaptor::RadioLaunchAdaptor(QObject* service, MediaControl& control, ErrorReply refuse)
    : QDBusAbstractAdaptor(service), control_(control), refuse_(std::move(refuse))
{
}

void RadioLaunchAdaptor::StartSongs(const QStringList& songs)
{
    // One entry that is no song file refuses the whole list, before anything
    // changes: what plays goes on playing.
    for (const QString& song : songs) {
        if (const QString refusal = refusalOfHandedSong(song); !refusal.isEmpty()) {
            if (refuse_) {
                refuse_(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"), refusal);
            }
            return;
        }
    }
    const QString refusal = control_.startSongs(songs);
    if (!refusal.isEmpty() && refuse_) {
        refuse_(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"), refusal);
    }
}
