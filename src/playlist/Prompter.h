// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playlist/Prompt.h"

// Shows a message and returns the user's answer. The playlist operations talk
// to the user only through this, so they show nothing themselves and tests can
// answer for the user. GUI thread only.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual PromptAnswer ask(const Prompt& prompt) = 0;
};
