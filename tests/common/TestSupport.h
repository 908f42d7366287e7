// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <functional>

namespace testing_support {

// Points QSettings and QStandardPaths at a fresh temporary folder for the
// lifetime of the object, so no test reads or writes the user's settings.
class SettingsSandbox {
public:
    SettingsSandbox();
    ~SettingsSandbox();
    SettingsSandbox(const SettingsSandbox&) = delete;
    SettingsSandbox& operator=(const SettingsSandbox&) = delete;

    QString path() const { return dir_.path(); }
    // The file that CRegSettings writes for the program's company and app words.
    QString settingsFile() const;

private:
    QTemporaryDir dir_;
};

// Processes events until the predicate holds or the timeout passes; returns
// whether it held.
bool waitUntil(const std::function<bool()>& predicate,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Processes events for the given time.
void pumpFor(std::chrono::milliseconds duration);

}  // namespace testing_support
