#pragma once

// How the song loaded ahead follows the playing one when the playing range
// ends. Shared by the player's interface and the mixer that carries it out,
// so a new way of joining two songs is one more value here.
enum class FollowOn {
    No,             // the program starts it when it wants
    WhenVoiceIdle,  // at once, unless the voice is talking then
    Always,         // at once
};
