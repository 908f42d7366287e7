// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/VoiceInput.h"

#include "audio/AudioFormat.h"
#include "audio/PcmConverter.h"
#include "audio/mix/Mixer.h"

#include <algorithm>
#include <array>

namespace {
// A producer blocks once this much voice is queued: one second.
constexpr std::size_t kHighWater = audio_format::kRate;
// Input is converted in slices, so a flush is noticed quickly.
constexpr std::size_t kSliceFrames = 2048;
// Quiet this long, the producer is taken to have finished an utterance: the
// converter's held-back tail is pushed out.
constexpr auto kQuietAfter = std::chrono::milliseconds(20);
constexpr int kMaxRate = 384000;
constexpr int kMaxChannels = 8;

class PushingGuard {
public:
    explicit PushingGuard(std::atomic<int>& count) : count_(count) { ++count_; }
    ~PushingGuard() { --count_; }
    PushingGuard(const PushingGuard&) = delete;
    PushingGuard& operator=(const PushingGuard&) = delete;

private:
    std::atomic<int>& count_;
};
}  // namespace

VoiceInput::VoiceInput(Mixer& mixer, bool level) : mixer_(mixer), leveller_(level) {}

VoiceInput::~VoiceInput() = default;

bool VoiceInput::push(const std::int16_t* samples, std::size_t frames, int rate, int channels)
{
    if (frames == 0) {
        return true;
    }
    if (samples == nullptr || rate < 1 || rate > kMaxRate || channels < 1 ||
        channels > kMaxChannels) {
        return false;
    }
    PushingGuard guard(pushing_);
    std::unique_lock lock(mutex_);
    const std::uint64_t flushesAtStart = flushes_;
    if (!prepareConverter(lock, rate, channels) || flushes_ != flushesAtStart) {
        return false;
    }
    if (!converterHolds_.load(std::memory_order_acquire) && mixer_.voice().queuedFrames() == 0) {
        leveller_.beginUtterance();  // the output had fallen silent
    }
    const auto ch = static_cast<std::size_t>(channels);
    std::size_t offset = 0;
    for (;;) {
        if (flushes_ != flushesAtStart) {
            return false;
        }
        drainConverter(false);
        if (offset == frames) {
            break;
        }
        if (queuedFrames() >= kHighWater) {
            space_.wait_for(lock, std::chrono::milliseconds(10));
            continue;
        }
        const std::size_t n = std::min(kSliceFrames, frames - offset);
        if (!converter_->put(samples + offset * ch, n)) {
            return false;
        }
        converterHolds_.store(true, std::memory_order_release);
        lastPut_ = Clock::now();
        offset += n;
        accepted_.fetch_add(n, std::memory_order_acq_rel);
    }
    mixer_.notifyProduced();
    mixer_.consumedSignal().notify();  // the decode thread services the voice
    return true;
}

bool VoiceInput::prepareConverter(std::unique_lock<std::mutex>& lock, int rate, int channels)
{
    if (converter_ && rate == converter_->rate() && channels == converter_->channels()) {
        return true;
    }
    if (converter_) {
        // The old format's tail goes out before the new format starts.
        const std::uint64_t flushesAtStart = flushes_;
        drainConverter(true);
        while ((converter_->available() > 0 || leveller_.pending() > 0) &&
               flushes_ == flushesAtStart) {
            space_.wait_for(lock, std::chrono::milliseconds(10));
            drainConverter(true);
        }
    }
    if (converter_) {
        leveller_.newVoice();
    }
    converter_ = std::make_unique<PcmConverter>(rate, channels);
    if (!converter_->valid()) {
        converter_.reset();
        return false;
    }
    mixer_.voiceMeter().mark(mixer_.voice().writePosition(), rate);
    return true;
}

// Called with mutex_ held. Moves converted frames through the leveller into
// the voice ring as far as it has room; at the end of the input the
// converter is finished first, or it would keep its last frames back, and
// the leveller lets out what it holds.
void VoiceInput::drainConverter(bool endOfInput)
{
    if (!converter_) {
        return;
    }
    if (endOfInput) {
        converter_->finish();
    }
    constexpr std::size_t kBlockFrames = 4096;
    std::array<std::int16_t, kBlockFrames * audio_format::kChannels> block{};
    for (std::size_t got = 0; (got = converter_->get(block.data(), kBlockFrames)) > 0;) {
        leveller_.put(block.data(), got);
    }
    if (endOfInput) {
        leveller_.finish();
    }
    PcmRing& ring = mixer_.voice();
    bool moved = false;
    for (;;) {
        const std::size_t room = std::min(ring.freeFrames(), kBlockFrames);
        const std::size_t got = room > 0 ? leveller_.take(block.data(), room) : 0;
        if (got == 0) {
            break;
        }
        ring.write(block.data(), got);
        moved = true;
    }
    converterHolds_.store(
        converter_->unfinished() || converter_->available() > 0 || leveller_.pending() > 0,
        std::memory_order_release);
    if (moved) {
        mixer_.notifyProduced();
        mixer_.consumedSignal().notify();  // a paused output wakes up
    }
}

// Called with mutex_ held.
std::size_t VoiceInput::queuedFrames() const
{
    return mixer_.voice().queuedFrames() + (converter_ ? converter_->available() : 0) +
           leveller_.pending();
}

void VoiceInput::flush()
{
    {
        std::lock_guard lock(mutex_);
        ++flushes_;
        if (converter_) {
            converter_->clear();
        }
        leveller_.drop();
        converterHolds_.store(false, std::memory_order_release);
        mixer_.voice().discardQueued();
        const std::uint64_t played = mixer_.voiceMeter().playedInputFrames();
        accepted_.store(std::min(accepted_.load(std::memory_order_acquire), played),
                        std::memory_order_release);
        flushCount_.fetch_add(1, std::memory_order_acq_rel);
    }
    space_.notify_all();
    mixer_.consumedSignal().notify();  // the decode thread tells the silence
}

bool VoiceInput::idle() const
{
    return pushing_.load(std::memory_order_acquire) == 0 &&
           !converterHolds_.load(std::memory_order_acquire) && mixer_.voice().queuedFrames() == 0;
}

std::uint64_t VoiceInput::framesPlayed() const
{
    const std::uint64_t accepted = accepted_.load(std::memory_order_acquire);
    if (idle()) {
        return accepted;
    }
    return std::min(accepted, mixer_.voiceMeter().playedInputFrames());
}

void VoiceInput::setVolume(int percent)
{
    std::lock_guard lock(mutex_);
    leveller_.setVolume(percent);
}

void VoiceInput::service()
{
    bool room = false;
    {
        std::lock_guard lock(mutex_);
        if (converterHolds_.load(std::memory_order_acquire)) {
            const bool quiet = pushing_.load(std::memory_order_acquire) == 0 &&
                               Clock::now() - lastPut_ >= kQuietAfter;
            drainConverter(quiet);
        }
        room = queuedFrames() < kHighWater;
    }
    if (room) {
        space_.notify_all();
    }
    tellIfIdle();
}

void VoiceInput::setIdleListener(std::function<void()> listener)
{
    std::lock_guard lock(listenerMutex_);
    idleListener_ = std::move(listener);
}

// Idle again after anything was pushed, played or flushed: the listener
// hears of it once.
void VoiceInput::tellIfIdle()
{
    const Activity now{accepted_.load(std::memory_order_acquire), mixer_.voice().readPosition(),
                       flushCount_.load(std::memory_order_acquire)};
    if (now == told_ || !idle()) {
        return;
    }
    told_ = now;
    std::lock_guard lock(listenerMutex_);
    if (idleListener_) {
        idleListener_();
    }
}
