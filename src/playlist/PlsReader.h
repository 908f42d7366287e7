// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playlist/PlaylistEntry.h"

#include <QByteArrayView>
#include <vector>

// The entries of a .pls playlist: the values of its "FileN=" keys, in the
// order of N (keys matched without regard to case); titles, lengths and
// the rest are left alone. UTF-8 when valid, else Latin-1.
class PlsReader {
public:
    static std::vector<PlaylistEntry> entries(QByteArrayView bytes);
};
