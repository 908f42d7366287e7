// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// The attributes of one voice engine as the options window shows them. A
// field the engine could not give is empty, and the window keeps what it
// showed before.
struct VoiceEngineDetails {
    std::optional<QString> manufacturer;
    std::optional<QString> dialect;
    std::optional<QString> style;
    std::optional<QString> name;
    std::optional<int> age;
    std::optional<QString> speaker;
    // 1 female, 2 male, anything else neutral.
    std::optional<int> gender;
};
