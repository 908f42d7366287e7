// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>

// The red loudspeaker drawn on the options window's voice panel.
QPixmap speakerPicture(int side);
