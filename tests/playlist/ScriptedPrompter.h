// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playlist/Prompter.h"

#include <QList>
#include <functional>

// Answers messages for the user: each ask() is recorded and takes the next
// queued answer, or the first button's answer when nothing is queued.
class ScriptedPrompter : public Prompter {
public:
    PromptAnswer ask(const Prompt& prompt) override
    {
        asked.append(prompt);
        if (onAsk) {
            onAsk(prompt);
        }
        if (!answers.isEmpty()) {
            return answers.takeFirst();
        }
        switch (prompt.buttons) {
            case PromptButtons::YesNo:
                return PromptAnswer::Yes;
            case PromptButtons::Ok:
            case PromptButtons::OkCancel:
                break;
        }
        return PromptAnswer::Ok;
    }

    QList<Prompt> asked;
    QList<PromptAnswer> answers;
    std::function<void(const Prompt&)> onAsk;
};
