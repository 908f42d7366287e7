// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/IgnoreFileSizeSignal.h"

#include <csignal>

void IgnoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}
