// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "broadcast/BroadcastAddress.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// What the program was asked on its command line:
//
//   tolvar-radio [--crossfade SECONDS] [--broadcast URL] [--no-speaker]
//                [FILE|FOLDER|PLAYLIST ...]
//
// with --help and --version, --broadcast URL (or --broadcast=URL) and
// --no-speaker. Paths are made absolute from the folder the
// program was started in, so they mean the same to a radio that already
// runs elsewhere; file: URLs, as a file manager hands them, become paths.
class CommandLine {
public:
    enum class Action { Run, Help, Version, Refuse };

    // `arguments` as QCoreApplication gives them: the program first, Qt's
    // own options already taken out.
    static CommandLine parse(const QStringList& arguments, const QString& workingFolder);

    Action action() const { return action_; }
    // The files and folders named, absolute, in the order given.
    const QStringList& paths() const { return paths_; }
    // What the line names that cannot be played (not a local file).
    const QStringList& problems() const { return problems_; }
    // Why the line was refused (Refuse).
    const QString& error() const { return error_; }
    // The crossfade asked for this run, in seconds (0 to 10).
    std::optional<std::int16_t> crossfade() const { return crossfade_; }
    // The line names something, playable or not.
    bool namesAnything() const { return !paths_.isEmpty() || !problems_.isEmpty(); }
    // Where to send the station (--broadcast), checked.
    const std::optional<BroadcastAddress>& broadcast() const { return broadcast_; }
    // --no-speaker: no sound device, the station paced by the clock.
    bool noSpeaker() const { return noSpeaker_; }
    // What to play at start: what the line names, else the defaults when it
    // names nothing at all.
    QStringList startPaths(const QStringList& defaults) const;

    static QString usage(const QString& program);
    static QString versionText(const QString& version);

private:
    Action action_ = Action::Run;
    QStringList paths_;
    QStringList problems_;
    QString error_;
    std::optional<std::int16_t> crossfade_;
    std::optional<BroadcastAddress> broadcast_;
    bool noSpeaker_ = false;

    // Takes --broadcast's address; false (and the refusal set) when bad.
    bool takeBroadcast(const QString& text);
};
