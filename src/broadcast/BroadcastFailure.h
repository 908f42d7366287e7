// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Why a connection to the server failed or ended, and so how soon to try
// again: a refused login (wrong password, mount in use) will not mend by
// itself, so it is said once and tried again slowly; the rest (server away,
// network lost, a stalled send) is tried again soon, with a growing pause.
struct BroadcastFailure {
    enum class Kind { Unreachable, Refused, Lost, Stalled, Encoder };

    Kind kind = Kind::Unreachable;
    QString why;
};
