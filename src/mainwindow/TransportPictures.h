// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playback/TransportCommand.h"

#include <QPixmap>

// The symbols on the main window's transport buttons, drawn to fit a square of
// the given side in device-independent pixels.
QPixmap transportPicture(TransportCommand command, int side, qreal devicePixelRatio = 1.0);
