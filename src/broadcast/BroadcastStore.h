// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/ProgramNames.h"

#include <QLatin1String>
#include <QString>
#include <optional>

// Where the options window keeps the broadcast address, password and all: a
// settings file of its own beside the program's settings ("Tolvar MP3
// broadcast.conf"), written readable by its owner alone, so the program's
// other settings stay where and as they were and the password never sits
// in a file other users can read. The file is looked at by the SettingsFile
// rules (a FIFO, a link or a huge file there is left alone). GUI thread only.
class BroadcastStore {
public:
    static constexpr QLatin1String kApplication{"Tolvar MP3 broadcast"};
    static constexpr QLatin1String kKey{"Broadcast/Address"};

    explicit BroadcastStore(QString company = QString(ProgramNames::kCompany),
                            QString application = QString(kApplication));

    // The address kept; empty when none is, or the file is not usable.
    QString address() const;
    // Keeps `address` (empty forgets it); nothing, or why it was not kept.
    std::optional<QString> setAddress(const QString& address);
    QString path() const;

private:
    QString company_;
    QString application_;
};
