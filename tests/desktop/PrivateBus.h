// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <chrono>

// A session bus of the test's own (a dbus-daemon child process), so tests
// never touch the desktop's bus and run where there is none.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool isUp() const { return !address_.isEmpty(); }
    const QString& address() const { return address_; }
    // This process's connection to the bus.
    QDBusConnection connection() const;
    // An environment whose session bus is this one.
    QProcessEnvironment environment() const;

private:
    QProcess daemon_;
    QString address_;
    QString connectionName_;
};

// What a client program did.
struct ClientRun {
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs a client to its end while this thread keeps serving the bus.
ClientRun runClient(const QProcessEnvironment& environment, const QString& program,
                    const QStringList& arguments,
                    std::chrono::milliseconds timeout = std::chrono::seconds(15));
