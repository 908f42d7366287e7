// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/MpegPlayer.h"

// Hands every call on to a real player; tests derive from it to watch the
// calls they care about.
class ForwardingMpegPlayer : public MpegPlayer {
public:
    explicit ForwardingMpegPlayer(MpegPlayer& target) : target_(target) {}

    QString OpenMPEG(quintptr handle, const QString& path, const QString& type) override
    {
        return target_.OpenMPEG(handle, path, type);
    }
    std::int32_t GetTotalframes() override { return target_.GetTotalframes(); }
    QString PlayMPEG(std::int32_t first, std::int32_t last) override
    {
        return target_.PlayMPEG(first, last);
    }
    std::int32_t GetPercent() override { return target_.GetPercent(); }
    std::int32_t GetPositionMs() override { return target_.GetPositionMs(); }
    std::int16_t AreMPEGAtEnd() override { return target_.AreMPEGAtEnd(); }
    void PauseMPEG() override { target_.PauseMPEG(); }
    void ResumeMPEG() override { target_.ResumeMPEG(); }
    void StopMPEG() override { target_.StopMPEG(); }
    void CloseMPEG() override { target_.CloseMPEG(); }
    void SetAutoRepeat(bool on) override { target_.SetAutoRepeat(on); }
    PlayerEvents& events() override { return target_.events(); }
    void preloadNext(const QString& path, FollowOn followOn, std::int32_t firstFrame) override
    {
        target_.preloadNext(path, followOn, firstFrame);
    }
    void setCrossfade(std::int32_t ms) override { target_.setCrossfade(ms); }

private:
    MpegPlayer& target_;
};
