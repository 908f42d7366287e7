// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QString>
#include <cstdint>
#include <memory>

// The file QSettings keeps one company's and application's settings in, looked
// at before QSettings may have it: QSettings reads its file whole the moment
// it is made, so a FIFO there would hold the start for ever and a huge file
// would be read into memory on every change. The file is looked at by the
// RegularFile rules (opened without blocking, checked on the descriptor);
// only a regular file of at most kMaxBytes, or no file at all, is handed to
// QSettings, which then reads and writes that one file. Anything else is left
// alone: reads give the callers' defaults and writes fail. On Windows the
// settings live in the registry and there is no file to look at.
// GUI thread only.
class SettingsFile {
public:
    // Ten times what the program's settings with a lexicon of a thousand
    // words take.
    static constexpr std::int64_t kMaxBytes = 1024 * 1024;
    enum class State { Usable, Absent, NotRegular, TooLarge, Unreadable };

    // Looks at the file as it is now.
    SettingsFile(const QString& company, const QString& application);

    const QString& path() const { return path_; }
    State state() const { return state_; }
    bool usable() const { return state_ == State::Usable || state_ == State::Absent; }
    // The settings in the file; nothing when it is not usable.
    std::unique_ptr<QSettings> open() const;

    // Says on stderr why the file is left alone, unless `lastSaid` holds
    // that already; keeps what was said there (cleared by a usable file).
    void tell(QString& lastSaid) const;

private:
    QString company_;
    QString application_;
    QString path_;
    State state_ = State::Absent;
    QString why_;
};
