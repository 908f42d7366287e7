// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// What the options window's controls hold when the user presses "Save" or
// "Test". Gathered from the controls so the saving itself runs without them.
struct OpsChoices {
    // List position of the chosen engine + 1; 0 when no entry is chosen.
    int engineNumber = 0;
    int speed = 0;

    bool progressbar = false;
    bool release = false;
    bool slow = false;
    bool rands = false;
    bool loops = false;
    bool makeItTop = false;
    bool flushBack = false;
    bool randoms = false;

    // The text of the number label beside the flush bar, not the bar itself:
    // it still shows the stored value when that was outside the bar's range.
    QString flushCountText;
    std::int16_t manyTime = 0;
    std::int16_t manyNews = 0;

    bool hostKnowsMusic = false;
    // Seconds, 0 to 10.
    std::int16_t crossfade = 0;

    // The "Headlines from:" box, trimmed; nothing to store when not given.
    std::optional<QString> newsHost;
};
