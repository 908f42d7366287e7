// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "desktop/MprisSnapshot.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <optional>

class MediaControl;

// Puts the radio on the session bus as an MPRIS 2 media player, so that the
// desktop's media keys, sound menu and panel widgets can drive it, and takes
// what a second start of the program hands over (org.tolvar.Radio). Without
// a bus it does nothing and the radio runs as ever. Each change the control
// reports is compared with what was last announced and the difference goes
// out as PropertiesChanged; nothing waits. GUI thread only.
class MprisService : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    static constexpr const char* kServiceName = "org.mpris.MediaPlayer2.tolvar";
    static constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";
    static constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";

    enum class Registration {
        Registered,
        // No bus, or the bus refused the object.
        NoBus,
        // Another radio runs on this bus: there is to be one radio.
        NameTaken,
    };

    explicit MprisService(MediaControl& control, QObject* parent = nullptr);
    ~MprisService() override;

    // Takes the well-known name on the connection. Anything but Registered
    // leaves nothing of this service on the bus.
    Registration registerOn(QDBusConnection connection);
    // The name taken; empty when not registered.
    QString serviceName() const { return serviceName_; }

    // Compares the state with what was last announced and announces changes.
    void refresh();

private:
    void refuseCall(const QString& name, const QString& message);
    void announce(const QVariantMap& changed);

    MediaControl& control_;
    std::optional<QDBusConnection> connection_;
    QString serviceName_;
    MprisSnapshot announced_;
};
