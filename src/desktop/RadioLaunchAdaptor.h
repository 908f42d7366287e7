// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusAbstractAdaptor>
#include <QStringList>
#include <functional>

class MediaControl;

// org.tolvar.Radio: what a second start of the program hands to the radio
// that already runs, so there is one radio.
class RadioLaunchAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tolvar.Radio")
public:
    static constexpr const char* kInterface = "org.tolvar.Radio";
    // Refuses a call with a D-Bus error name and message.
    using ErrorReply = std::function<void(const QString& name, const QString& message)>;

    RadioLaunchAdaptor(QObject* service, MediaControl& control, ErrorReply refuse);

public slots:
    // Makes the songs the playlist and starts it with the intro. An empty
    // list, or one with an entry that is no absolute path of a regular file,
    // is refused with an error that names it, and nothing changes.
    void StartSongs(const QStringList& songs);

private:
    MediaControl& control_;
    ErrorReply refuse_;
};
