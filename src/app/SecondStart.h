// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "desktop/RunningRadio.h"

#include <QStringList>
#include <QTextStream>
#include <optional>

class CommandLine;

// A start of the program while a radio already runs on the session bus: what
// the command line names goes to that radio, which plays it, and this start
// ends; a start that names nothing brings the running radio to the front.
// Waits for the running radio's answer (bounded), before any window exists.
class SecondStart {
public:
    SecondStart(RunningRadio radio, QTextStream& errors) : radio_(std::move(radio)), errors_(errors)
    {
    }

    // The exit code when this start is done; nothing when no radio answers
    // and this start is to be the radio.
    std::optional<int> handOver(const CommandLine& line);

private:
    QStringList handable(const QStringList& songs);

    RunningRadio radio_;
    QTextStream& errors_;
};
