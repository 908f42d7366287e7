// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/MpegPlayer.h"
#include "audio/PlayerEvents.h"

#include <QMetaObject>
#include <QStringList>
#include <algorithm>
#include <utility>
#include <vector>

// A player that plays nothing: it records every call and reports the end and
// progress the test sets; it tells each song it opens through the event loop,
// a song's end when the test calls reachEnd(), and the test emits its other
// events. Given an event log
// (shared with a FakeSpeechEngine), it also notes "open <path>" and "stop
// music" there, so a test sees what came before what. Songs loaded ahead are
// noted apart from the calls.
class FakeMpegPlayer : public MpegPlayer {
public:
    explicit FakeMpegPlayer(QStringList* log = nullptr) : log_(log) {}

    QString OpenMPEG(quintptr, const QString& path, const QString& deviceType) override
    {
        note(QStringLiteral("open ") + path);
        calls << QStringLiteral("OpenMPEG %1 %2").arg(path, deviceType);
        openedPath = path;
        if (failingPaths.contains(path)) {
            return QStringLiteral("cannot open");
        }
        // Told through the event loop, as the real player does.
        QMetaObject::invokeMethod(
            &playerEvents,
            [this, path] {
                if (laterFailingPaths.contains(path)) {
                    emit playerEvents.songFailed(path, QStringLiteral("cannot decode"));
                } else {
                    emit playerEvents.songOpened({path, totalFrames});
                }
            },
            Qt::QueuedConnection);
        return {};
    }
    std::int32_t GetTotalframes() override
    {
        calls << QStringLiteral("GetTotalframes");
        return totalFrames;
    }
    QString PlayMPEG(std::int32_t first, std::int32_t last) override
    {
        calls << QStringLiteral("PlayMPEG %1 %2").arg(first).arg(last);
        atEnd = 0;
        positionMs = static_cast<std::int32_t>(player_frame::msAt(std::max(first, 1) - 1));
        return {};
    }
    std::int32_t GetPercent() override { return percent; }
    std::int32_t GetPositionMs() override { return positionMs; }
    std::int16_t AreMPEGAtEnd() override
    {
        ++endQuestions;
        return atEnd;
    }
    void PauseMPEG() override { calls << QStringLiteral("PauseMPEG"); }
    void ResumeMPEG() override { calls << QStringLiteral("ResumeMPEG"); }
    void StopMPEG() override
    {
        note(QStringLiteral("stop music"));
        calls << QStringLiteral("StopMPEG");
    }
    void CloseMPEG() override { calls << QStringLiteral("CloseMPEG"); }
    void SetAutoRepeat(bool on) override
    {
        calls << QStringLiteral("SetAutoRepeat %1").arg(on ? 1 : 0);
    }
    PlayerEvents& events() override { return playerEvents; }
    // The range played to its end: the state changes, then the event goes
    // out, as the real player tells it.
    void reachEnd()
    {
        atEnd = 1;
        emit playerEvents.songEnded();
    }
    void preloadNext(const QString& path, FollowOn followOn, std::int32_t firstFrame) override
    {
        preloads.emplace_back(path, followOn);
        preloadFirstFrames.push_back(firstFrame);
    }
    void setCrossfade(std::int32_t ms) override { crossfadeMs = ms; }

    QStringList calls;
    PlayerEvents playerEvents;
    std::vector<std::pair<QString, FollowOn>> preloads;
    std::vector<std::int32_t> preloadFirstFrames;  // beside preloads
    std::int32_t crossfadeMs = 0;
    QStringList failingPaths;
    // Taken by OpenMPEG, then found broken (songFailed instead of songOpened).
    QStringList laterFailingPaths;
    QString openedPath;
    std::int32_t totalFrames = 180000;
    std::int32_t percent = 0;
    // Starts at the first frame of each range; tests move it on.
    std::int32_t positionMs = 0;
    std::int16_t atEnd = 0;
    // How often AreMPEGAtEnd was asked.
    int endQuestions = 0;

private:
    void note(const QString& line)
    {
        if (log_ != nullptr) {
            *log_ << line;
        }
    }
    QStringList* log_;
};
