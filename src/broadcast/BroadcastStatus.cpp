// SPDX-License-Identifier: GPL-3.0-or-later
#include "broadcast/BroadcastStatus.h"

QString BroadcastStatus::text() const
{
    switch (state) {
        case State::Off:
            return QStringLiteral("off");
        case State::Connecting:
            return QStringLiteral("connecting");
        case State::OnAir:
            return QStringLiteral("on air");
        case State::Retrying:
            return why.isEmpty() ? QStringLiteral("retrying")
                                 : QStringLiteral("retrying: %1").arg(why);
    }
    return {};
}
