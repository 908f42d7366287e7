// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaType>
#include <QString>

// How the broadcast stands, as the options window and stderr tell it.
struct BroadcastStatus {
    enum class State { Off, Connecting, OnAir, Retrying };

    State state = State::Off;
    // Why it retries (Retrying), else empty.
    QString why;

    // "off", "connecting", "on air", "retrying: why".
    QString text() const;

    bool operator==(const BroadcastStatus&) const = default;
};
Q_DECLARE_METATYPE(BroadcastStatus)
