#include "desktop/RadioLaunchAdaptor.h"

#include "desktop/MediaControl.h"

RadioLaunchAdaptor::RadioLaunchAdaptor(QObject* service, MediaControl& control, ErrorReply refuse)
    : QDBusAbstractAdaptor(service), control_(control), refuse_(std::move(refuse))
{
}

void RadioLaunchAdaptor::StartSongs(const QStringList& songs)
{
    const QString refusal = control_.startSongs(songs);
    if (!refusal.isEmpty() && refuse_) {
        refuse_(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"), refusal);
    }
}
