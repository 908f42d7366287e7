// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What a song handed over from outside (a second start, over the desktop
// bus) must be: the absolute path of a regular file. The empty text when the
// entry is one; otherwise why not, naming the entry.
QString refusalOfHandedSong(const QString& entry);
