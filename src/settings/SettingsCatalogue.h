// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class RadioSettings;
class RandomSource;

// Shows NowTime and NowNews on the main window's two boxes. A box whose state
// changes runs its click handler, which stores both switches.
using AnnouncerBoxes = std::function<void(bool nowTime, bool nowNews)>;

// Creates the settings store and points it at the program's own place.
void InitSettings(RadioSettings& settings);

// Reads every setting at start, shows the two announcer switches and, with
// Randoms on, draws the counts in use. A failing step is skipped; a text that
// does not convert leaves its value as it was. The voice is chosen from these
// settings afterwards, by whoever holds it (UseStoredVoice).
void LoadSettings(RadioSettings& settings, RandomSource& random, const AnnouncerBoxes& showBoxes);

// Stores NowTime, then NowNews.
void SaveAnnouncerSwitches(RadioSettings& settings);

// The count of songs in use with Randoms on, from a draw r in [0, 1): r × 50 + 1
// rounded half to even, so 1..51.
int randomCount(double r);
