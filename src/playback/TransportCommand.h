// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window's transport buttons, Commands 0 to 4.
enum class TransportCommand { Forward = 0, Pause = 1, Play = 2, Stop = 3, Reverse = 4 };
