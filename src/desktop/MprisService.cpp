// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/MprisService.h"

#include "desktop/MediaControl.h"
#include "desktop/MprisPlayerAdaptor.h"
#include "desktop/MprisRootAdaptor.h"
#include "desktop/RadioLaunchAdaptor.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

MprisService::MprisService(MediaControl& control, QObject* parent)
    : QObject(parent), control_(control)
{
    // The adaptors belong to this object and are exported with it.
    new MprisRootAdaptor(this, control_);
    const auto refuse = [this](const QString& name, const QString& message) {
        refuseCall(name, message);
    };
    new MprisPlayerAdaptor(this, control_, refuse);
    new RadioLaunchAdaptor(this, control_, refuse);
    connect(&control_, &MediaControl::changed, this, &MprisService::refresh);
}

MprisService::~MprisService()
{
    if (connection_) {
        connection_->unregisterObject(QString::fromLatin1(kObjectPath));
        connection_->unregisterService(serviceName_);
    }
}

MprisService::Registration MprisService::registerOn(QDBusConnection connection)
{
    if (connection_ || !connection.isConnected()) {
        return Registration::NoBus;
    }
    if (!connection.registerObject(QString::fromLatin1(kObjectPath), this,
                                   QDBusConnection::ExportAdaptors)) {
        return Registration::NoBus;
    }
    const QString name = QString::fromLatin1(kServiceName);
    if (!connection.registerService(name)) {
        connection.unregisterObject(QString::fromLatin1(kObjectPath));
        const bool taken = connection.interface() != nullptr &&
                           connection.interface()->isServiceRegistered(name).value();
        return taken ? Registration::NameTaken : Registration::NoBus;
    }
    connection_ = connection;
    serviceName_ = name;
    announced_ = MprisSnapshot::of(control_);
    return Registration::Registered;
}

void MprisService::refresh()
{
    const MprisSnapshot now = MprisSnapshot::of(control_);
    const QVariantMap changed = now.changedSince(announced_);
    announced_ = now;
    if (!changed.isEmpty()) {
        announce(changed);
    }
}

void MprisService::announce(const QVariantMap& changed)
{
    if (!connection_) {
        return;
    }
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kPlayerInterface) << changed << QStringList();
    connection_->send(signal);
}

void MprisService::refuseCall(const QString& name, const QString& message)
{
    if (calledFromDBus()) {
        sendErrorReply(name, message);
    }
}
