// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the station is encoded for its listeners: picked by the mount's
// extension (.mp3, or .opus / .ogg).
enum class StreamFormat { Mp3, Opus };
