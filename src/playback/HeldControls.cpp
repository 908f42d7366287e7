// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/HeldControls.h"

void HeldControls::hold(TransportCommand command)
{
    held_.push_back({command, nullptr, nullptr});
}

void HeldControls::hold(QObject* context, std::function<void()> action)
{
    held_.push_back({std::nullopt, context, std::move(action)});
}

void HeldControls::dropCommands()
{
    std::erase_if(held_, [](const Held& held) { return held.command.has_value(); });
}

void HeldControls::runFirst(const std::function<void(TransportCommand)>& runCommand)
{
    if (held_.empty()) {
        return;
    }
    // Taken off first: what it runs may hold or run more.
    const Held first = held_.front();
    held_.pop_front();
    if (first.command) {
        runCommand(*first.command);
    } else if (first.context) {
        first.action();
    }
}
