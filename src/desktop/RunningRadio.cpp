// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/RunningRadio.h"

#include "desktop/MprisService.h"
#include "desktop/RadioLaunchAdaptor.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

bool RunningRadio::isRunning() const
{
    const QDBusConnectionInterface* bus = connection_.interface();
    return connection_.isConnected() && bus != nullptr &&
           bus->isServiceRegistered(QString::fromLatin1(MprisService::kServiceName)).value();
}

QString RunningRadio::startSongs(const QStringList& songs) const
{
    return call(QString::fromLatin1(RadioLaunchAdaptor::kInterface), QStringLiteral("StartSongs"),
                {songs});
}

QString RunningRadio::raise() const
{
    return call(QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Raise"), {});
}

QString RunningRadio::call(const QString& interface, const QString& method,
                           const QVariantList& arguments) const
{
    if (!connection_.isConnected()) {
        return QStringLiteral("There is no session bus");
    }
    QDBusMessage message = QDBusMessage::createMethodCall(
        QString::fromLatin1(MprisService::kServiceName),
        QString::fromLatin1(MprisService::kObjectPath), interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply =
        connection_.call(message, QDBus::Block, static_cast<int>(kTimeout.count()));
    if (reply.type() == QDBusMessage::ErrorMessage) {
        return reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
    }
    return {};
}
