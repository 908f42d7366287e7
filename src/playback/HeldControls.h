// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playback/TransportCommand.h"

#include <QObject>
#include <QPointer>
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>

// What the main window's controls asked for while the radio waited for the
// voice, in the order they were pressed: transport commands, and the actions
// of other controls (the playlist button, the announcer switches).
// GUI thread only.
class HeldControls {
public:
    void hold(TransportCommand command);
    // The action is dropped unrun when its context is gone by then.
    void hold(QObject* context, std::function<void()> action);
    // Drops the transport commands and keeps the other controls.
    void dropCommands();
    void clear() { held_.clear(); }
    bool empty() const { return held_.empty(); }
    std::size_t size() const { return held_.size(); }
    // Takes the first: a transport command goes to runCommand, an action runs.
    void runFirst(const std::function<void(TransportCommand)>& runCommand);

private:
    struct Held {
        std::optional<TransportCommand> command;  // else the action
        QPointer<QObject> context;
        std::function<void()> action;
    };
    std::deque<Held> held_;
};
