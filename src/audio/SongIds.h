// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/SongId.h"

#include <cstdint>

// The one place songs and plays are numbered: the engine has one. GUI thread
// only.
class SongIds {
public:
    SongId newSong() { return {++songs_, 0}; }
    SongId newPlay(const SongId& of) { return {of.song, ++plays_}; }

private:
    std::uint32_t songs_ = 0;
    std::uint32_t plays_ = 0;
};
