// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ThreadCpu.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <unistd.h>
#include <chrono>
#include <cmath>

// The radio program itself, run as a user would on a session bus of its own
// (a dbus-daemon child) and driven with playerctl, with what CPU time its
// threads have taken read from /proc. Everything it starts is stopped when
// it goes.
class RunningProgram {
public:
    // `environment` is added to the bench's own; the program gets a fresh
    // home of its own.
    RunningProgram(const QString& program, const QStringList& arguments,
                   const QProcessEnvironment& extra)
    {
        bus_.setProgram(QStringLiteral("dbus-daemon"));
        bus_.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"),
                           QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
        bus_.start();
        if (!bus_.waitForStarted(5000)) {
            return;
        }
        while (!bus_.canReadLine() && bus_.waitForReadyRead(5000)) {
        }
        const QString address = QString::fromUtf8(bus_.readLine()).trimmed();
        if (address.isEmpty() || !home_.isValid()) {
            return;
        }
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
            environment_.insert(QString::fromLatin1(name), home_.path());
        }
        environment_.insert(extra);
        program_.setProcessEnvironment(environment_);
        program_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program_.setStandardOutputFile(QProcess::nullDevice());
        program_.start(program, arguments);
        program_.waitForStarted(10000);
    }
    ~RunningProgram()
    {
        for (QProcess* process : {&program_, &bus_}) {
            if (process->state() == QProcess::NotRunning) {
                continue;
            }
            process->terminate();
            if (!process->waitForFinished(5000)) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool running() const { return program_.state() == QProcess::Running; }

    // What playerctl prints for `arguments` (empty when it failed).
    QString ask(const QStringList& arguments)
    {
        QProcess client;
        client.setProcessEnvironment(environment_);
        client.start(QStringLiteral("playerctl"),
                     QStringList{QStringLiteral("--player=tolvar")} + arguments);
        if (!client.waitForFinished(10000)) {
            client.kill();
            client.waitForFinished(5000);
            return {};
        }
        return QString::fromUtf8(client.readAllStandardOutput()).trimmed();
    }

    // Asks until playerctl reports `status` (at most `timeout`).
    bool waitForStatus(const QString& status, std::chrono::milliseconds timeout)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeout.count()) {
            if (ask({QStringLiteral("status")}) == status) {
                return true;
            }
            QThread::msleep(100);
        }
        return false;
    }

    // Nanoseconds on a core of every thread the program has now (the
    // scheduler's own count, far finer than the clock ticks of /proc/PID/stat).
    long long threadsCpuNs() const
    {
        return std::llround(totalSeconds(threadCpuOf(QString::number(program_.processId()))) * 1e9);
    }

    // User and system CPU seconds of the whole process, threads gone included
    // (clock-tick resolution).
    double processCpuSeconds() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(program_.processId()));
        if (!stat.open(QIODevice::ReadOnly)) {
            return 0;
        }
        // The fields after the command name, which is in parentheses.
        const QString text = QString::fromLatin1(stat.readAll());
        const QStringList fields =
            text.mid(text.lastIndexOf(QLatin1Char(')')) + 2).split(QLatin1Char(' '));
        if (fields.size() < 13) {
            return 0;
        }
        const double ticks = fields[11].toDouble() + fields[12].toDouble();  // utime, stime
        return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
    }

private:
    QTemporaryDir home_;
    QProcess bus_;
    QProcess program_;
    QProcessEnvironment environment_;
};
