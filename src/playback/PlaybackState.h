// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where playback stands, as the windows and the desktop's media control show
// it. Between songs, while the announcer talks, the radio waits for the voice.
enum class PlaybackState { Stopped, Playing, Paused, WaitingForVoice };
