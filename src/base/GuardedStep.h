// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exception>
#include <utility>

// Runs one step of a sequence that goes on whatever the step does: start-up
// skips a failing step and runs the next.
template <typename Step>
void guardedStep(Step&& step)
{
    try {
        std::forward<Step>(step)();
    } catch (const std::exception&) {
    }
}
