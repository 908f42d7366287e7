// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playlistwindow/PlaylistWindowLinks.h"

#include <functional>

class BroadcastSetting;
class RadioSettings;
class RandomSource;
class SpeechEngine;

// The playlist window's links in the running radio: the tag editor and the
// options window open modally over the playlist window, addresses open in the
// user's browser, and playIt is the sequencer's PlayIt. The options window's
// "Broadcast to:" goes to `broadcast` (off without one).
PlaylistWindowLinks RadioPlaylistLinks(RadioSettings& settings, RandomSource& random,
                                       SpeechEngine& talk, std::function<void()> playIt,
                                       BroadcastSetting* broadcast = nullptr);
