// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playlist/Prompter.h"

// Shows each message as a modal message box over the active window, brought
// to the foreground, with the beep first when the message asks for it.
class MessageBoxPrompter : public Prompter {
public:
    PromptAnswer ask(const Prompt& prompt) override;
};
