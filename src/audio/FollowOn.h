// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// How the song loaded ahead follows the playing one when the playing range
// ends. Shared by the player's interface and the mixer that carries it out,
// so a new way of joining two songs (a crossfade) is one more value here; the
// mixer's switch word keeps a byte for it and room beside it for what such a
// mode brings along (an overlap's length).
enum class FollowOn : std::uint8_t {
    No,             // the program starts it when it wants
    WhenVoiceIdle,  // at once, unless the voice is talking then
    Always,         // at once
};
