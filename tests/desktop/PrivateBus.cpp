// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/PrivateBus.h"

#include "common/TestSupport.h"

#include <QDBusConnection>

PrivateBus::PrivateBus()
{
    daemon_.setProgram(QStringLiteral("dbus-daemon"));
    daemon_.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"),
                          QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    daemon_.start();
    if (!daemon_.waitForStarted(5000)) {
        return;
    }
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(5000)) {
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    static int buses = 0;
    connectionName_ = QStringLiteral("tolvar-test-bus-%1").arg(++buses);
    if (!address_.isEmpty() &&
        !QDBusConnection::connectToBus(address_, connectionName_).isConnected()) {
        address_.clear();
    }
}

PrivateBus::~PrivateBus()
{
    QDBusConnection::disconnectFromBus(connectionName_);
    daemon_.terminate();
    if (!daemon_.waitForFinished(5000)) {
        daemon_.kill();
        daemon_.waitForFinished(5000);
    }
}

QDBusConnection PrivateBus::connection() const
{
    return QDBusConnection(connectionName_);
}

QProcessEnvironment PrivateBus::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
    return environment;
}

ClientRun runClient(const QProcessEnvironment& environment, const QString& program,
                    const QStringList& arguments, std::chrono::milliseconds timeout)
{
    ClientRun run;
    QProcess client;
    client.setProcessEnvironment(environment);
    client.start(program, arguments);
    if (!client.waitForStarted(5000)) {
        run.err = client.errorString();
        return run;
    }
    // Not waitForFinished: the service under test answers on this thread.
    run.finished = testing_support::waitUntil(
        [&client] { return client.state() == QProcess::NotRunning; }, timeout);
    if (!run.finished) {
        client.kill();
        client.waitForFinished(5000);
    }
    run.exitCode = client.exitCode();
    run.out = QString::fromUtf8(client.readAllStandardOutput()).trimmed();
    run.err = QString::fromUtf8(client.readAllStandardError()).trimmed();
    return run;
}
