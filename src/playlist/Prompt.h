// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

enum class PromptButtons { Ok, OkCancel, YesNo };
enum class PromptIcon { None, Stop, Information };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// One modal message as the user sees it: its text, title, buttons, icon, and
// whether the system beep sounds before it.
struct Prompt {
    QString text;
    QString title;
    PromptButtons buttons = PromptButtons::Ok;
    PromptIcon icon = PromptIcon::None;
    bool beep = false;

    bool operator==(const Prompt&) const = default;
};
