// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>

namespace testing_support {

SettingsSandbox::SettingsSandbox()
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
}

SettingsSandbox::~SettingsSandbox()
{
    // Leave later tests a location that does not exist any more rather than
    // the user's real one.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
}

QString SettingsSandbox::settingsFile() const
{
    return dir_.path() + QStringLiteral("/Quintaviel Software/Tolvar MP3 v1.0.conf");
}

bool waitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout)
{
    QDeadlineTimer deadline(timeout);
    while (!predicate()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

void pumpFor(std::chrono::milliseconds duration)
{
    QDeadlineTimer deadline(duration);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

}  // namespace testing_support
