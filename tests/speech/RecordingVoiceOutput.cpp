// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingVoiceOutput.h"

#include <algorithm>

RecordingVoiceOutput::RecordingVoiceOutput(Pace pace, std::size_t keepFrames)
    : pace_(pace), keepFrames_(keepFrames), teller_([this] { tellIdle(); })
{
}

RecordingVoiceOutput::~RecordingVoiceOutput()
{
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    teller_.join();
}

void RecordingVoiceOutput::setVoiceIdleListener(std::function<void()> listener)
{
    const std::lock_guard<std::mutex> guard(listenerMutex_);
    listener_ = std::move(listener);
}

// The teller thread: after a push or a flush, once the last queued sample's
// time has come.
void RecordingVoiceOutput::tellIdle()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!quit_) {
        if (!untold_) {
            changed_.wait(lock);
            continue;
        }
        if (queuedUntil_ > Clock::now()) {
            const Clock::time_point until = queuedUntil_;
            changed_.wait_until(lock, until);
            continue;
        }
        untold_ = false;
        lock.unlock();
        {
            const std::lock_guard<std::mutex> guard(listenerMutex_);
            if (listener_) {
                listener_();
            }
        }
        lock.lock();
    }
}

double RecordingVoiceOutput::queuedSeconds(Clock::time_point now) const
{
    return std::chrono::duration<double>(queuedUntil_ - now).count();
}

void RecordingVoiceOutput::settle(Clock::time_point now) const
{
    const double left = std::max(0.0, queuedSeconds(now)) * rate_;
    const auto waiting = std::min<std::uint64_t>(queued_, static_cast<std::uint64_t>(left));
    played_ += queued_ - waiting;
    queued_ = waiting;
}

bool RecordingVoiceOutput::pushVoice(const std::int16_t* samples, std::size_t frames,
                                     int sampleRate, int channels)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (pace_ == Pace::RealTime) {
        const int flushesBefore = flushes_;
        while (queuedSeconds(Clock::now()) >= 1.0) {
            flushed_.wait_for(lock, std::chrono::milliseconds(5));
            if (flushes_ != flushesBefore) {
                return false;
            }
        }
    }
    rate_ = sampleRate;
    channels_ = channels;
    const std::size_t values = frames * static_cast<std::size_t>(std::max(channels, 1));
    const std::size_t room = keepFrames_ > pushed_ ? keepFrames_ - pushed_ : 0;
    samples_.insert(samples_.end(), samples, samples + std::min(values, room));
    pushed_ += frames;
    const auto now = Clock::now();
    if (pace_ == Pace::RealTime && sampleRate > 0) {
        settle(now);
        queued_ += frames;
        queuedUntil_ = std::max(queuedUntil_, now) +
                       std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(double(frames) / sampleRate));
    } else {
        played_ += frames;
    }
    untold_ = true;
    changed_.notify_all();
    return true;
}

void RecordingVoiceOutput::flushVoice()
{
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        ++flushes_;
        settle(Clock::now());
        queued_ = 0;
        queuedUntil_ = Clock::now();
        untold_ = true;
    }
    flushed_.notify_all();
    changed_.notify_all();
}

bool RecordingVoiceOutput::voiceIdle() const
{
    const std::lock_guard<std::mutex> guard(mutex_);
    return queuedSeconds(Clock::now()) <= 0.0;
}

std::uint64_t RecordingVoiceOutput::voiceFramesPlayed() const
{
    const std::lock_guard<std::mutex> guard(mutex_);
    settle(Clock::now());
    return played_;
}

std::vector<std::int16_t> RecordingVoiceOutput::samples() const
{
    const std::lock_guard<std::mutex> guard(mutex_);
    return samples_;
}

std::uint64_t RecordingVoiceOutput::framesPushed() const
{
    const std::lock_guard<std::mutex> guard(mutex_);
    return pushed_;
}

int RecordingVoiceOutput::sampleRate() const
{
    const std::lock_guard<std::mutex> guard(mutex_);
    return rate_;
}

int RecordingVoiceOutput::channels() const
{
    const std::lock_guard<std::mutex> guard(mutex_);
    return channels_;
}

int RecordingVoiceOutput::flushCount() const
{
    const std::lock_guard<std::mutex> guard(mutex_);
    return flushes_;
}

void RecordingVoiceOutput::setPace(Pace pace)
{
    const std::lock_guard<std::mutex> guard(mutex_);
    pace_ = pace;
}

void RecordingVoiceOutput::clear()
{
    const std::lock_guard<std::mutex> guard(mutex_);
    samples_.clear();
    pushed_ = 0;
}
