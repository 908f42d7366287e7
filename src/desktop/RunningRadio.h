// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QString>
#include <QStringList>
#include <chrono>

// The radio that already runs on the session bus, as a second start of the
// program reaches it to hand over what it was given. Each call waits for the
// answer, at most kTimeout: it is for main(), before any window exists.
class RunningRadio {
public:
    static constexpr std::chrono::milliseconds kTimeout{5000};

    explicit RunningRadio(QDBusConnection connection) : connection_(std::move(connection)) {}

    // A radio holds the well-known name on the bus.
    bool isRunning() const;
    // Makes the songs its playlist and starts it. The empty text means it
    // took them; any other text says why not.
    QString startSongs(const QStringList& songs) const;
    // Brings its window to the front; the empty text means it answered.
    QString raise() const;

private:
    QString call(const QString& interface, const QString& method,
                 const QVariantList& arguments) const;

    QDBusConnection connection_;
};
