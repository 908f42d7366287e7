#include "audio/DecodeWorker.h"

#include "audio/AudioDevice.h"
#include "audio/AudioFormat.h"
#include "audio/Mixer.h"
#include "audio/PcmConverter.h"
#include "audio/VoiceInput.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace {
constexpr std::uint64_t kOpen = std::numeric_limits<std::uint64_t>::max();
// Decoded per step: small enough for a quick first sample after a seek.
constexpr std::size_t kChunkFrames = 2048;
// SDL 2.26's resampler drifts by up to a frame per put, so songs that need
// resampling go in larger pieces.
constexpr std::size_t kResampledChunkFrames = 8192;
constexpr std::size_t kMaxChannels = 8;
// Without a wake-up the worker still looks around this often (device
// health, the voice converter).
constexpr auto kIdleWait = std::chrono::milliseconds(10);
}  // namespace

DecodeWorker::DecodeWorker(Mixer& mixer, VoiceInput& voice, AudioDevice& device)
    : mixer_(mixer), voice_(voice), device_(device), buffer_(kResampledChunkFrames * kMaxChannels)
{
    thread_ = std::thread([this] { run(); });
}

DecodeWorker::~DecodeWorker()
{
    quit_.store(true, std::memory_order_release);
    mixer_.consumedSignal().notify();
    thread_.join();
}

void DecodeWorker::post(Command command)
{
    {
        std::lock_guard lock(commandsMutex_);
        commands_.push_back(std::move(command));
    }
    mixer_.consumedSignal().notify();
}

void DecodeWorker::open(std::unique_ptr<Decoder> decoder, std::uint32_t serial)
{
    Command command;
    command.kind = Command::Kind::Open;
    command.decoder = std::move(decoder);
    command.number = serial;
    post(std::move(command));
}

void DecodeWorker::play(std::int64_t firstFrame, std::int64_t endFrame, std::uint32_t generation)
{
    Command command;
    command.kind = Command::Kind::Play;
    command.first = firstFrame;
    command.end = endFrame;
    command.number = generation;
    post(std::move(command));
}

void DecodeWorker::stop()
{
    Command command;
    command.kind = Command::Kind::Stop;
    post(std::move(command));
}

void DecodeWorker::close()
{
    Command command;
    command.kind = Command::Kind::Close;
    post(std::move(command));
}

DecodeWorker::Progress DecodeWorker::progress(std::uint32_t generation) const
{
    Progress progress;
    if (generation_.load(std::memory_order_acquire) != generation) {
        return progress;
    }
    progress.started = true;
    const std::uint64_t start = rangeStart_.load(std::memory_order_acquire);
    const std::uint64_t expected = rangeExpected_.load(std::memory_order_acquire);
    const std::uint64_t end = rangeEnd_.load(std::memory_order_acquire);
    const std::uint64_t read = mixer_.music().readPosition();
    progress.ended = end != kOpen && (end == start || read >= end);
    if (read > start) {
        progress.playedFrames = (end != kOpen ? std::min(read, end) : read) - start;
    }
    if (progress.ended) {
        progress.percent = 100;
    } else if (read > start && expected > 0) {
        progress.percent =
            static_cast<int>(std::min<std::uint64_t>(100, (read - start) * 100 / expected));
    }
    return progress;
}

void DecodeWorker::run()
{
    while (!quit_.load(std::memory_order_acquire)) {
        try {
            runCommands();
            fill();
            closeAtEndWithoutRepeat();
            voice_.service();
            device_.maintain();
        } catch (...) {
            // Out of memory or the like: the song ends, the radio goes on.
            if (producing_) {
                finishRange();
            }
        }
        mixer_.consumedSignal().waitFor(kIdleWait);
    }
}

void DecodeWorker::runCommands()
{
    for (;;) {
        Command command;
        {
            std::lock_guard lock(commandsMutex_);
            if (commands_.empty()) {
                return;
            }
            command = std::move(commands_.front());
            commands_.pop_front();
        }
        execute(command);
    }
}

void DecodeWorker::execute(Command& command)
{
    switch (command.kind) {
        case Command::Kind::Open:
            closeSong();
            decoder_ = std::move(command.decoder);
            serial_ = command.number;
            converter_ =
                std::make_unique<PcmConverter>(decoder_->sampleRate(), decoder_->channels());
            if (!converter_->valid()) {
                closeSong();
                closedSerial_.store(serial_, std::memory_order_release);
            }
            break;
        case Command::Kind::Play:
            startRange(command);
            break;
        case Command::Kind::Stop:
            mixer_.music().discardQueued();
            producing_ = false;
            awaitingEnd_ = false;
            break;
        case Command::Kind::Close:
            closeSong();
            break;
    }
}

void DecodeWorker::startRange(const Command& command)
{
    const std::uint64_t start = mixer_.music().discardQueued();
    producing_ = false;
    awaitingEnd_ = true;
    std::uint64_t expected = 0;
    std::uint64_t end = start;  // an empty or impossible range ends at once
    if (decoder_) {
        const std::int64_t length = decoder_->length();
        const std::int64_t first = std::clamp<std::int64_t>(command.first, 0, length);
        const std::int64_t last = std::clamp<std::int64_t>(command.end, first, length);
        if (last > first && decoder_->seek(first)) {
            converter_->clear();
            remaining_ = last - first;
            inputDone_ = false;
            producing_ = true;
            expected = static_cast<std::uint64_t>(remaining_) * audio_format::kRate /
                       static_cast<std::uint64_t>(decoder_->sampleRate());
            end = kOpen;
        }
    }
    rangeStart_.store(start, std::memory_order_release);
    rangeExpected_.store(expected, std::memory_order_release);
    rangeEnd_.store(end, std::memory_order_release);
    generation_.store(command.number, std::memory_order_release);
}

void DecodeWorker::finishRange()
{
    producing_ = false;
    rangeEnd_.store(mixer_.music().writePosition(), std::memory_order_release);
}

void DecodeWorker::fill()
{
    bool wrote = false;
    while (producing_ && fillStep()) {
        wrote = true;
    }
    if (wrote) {
        mixer_.notifyProduced();
    }
}

// One step of moving the range towards the ring; false when the ring is full
// or the range is done.
bool DecodeWorker::fillStep()
{
    PcmRing& ring = mixer_.music();
    const std::size_t room = std::min(ring.freeFrames(), kChunkFrames);
    if (room == 0) {
        return false;
    }
    if (converter_->available() > 0) {
        const std::size_t got = converter_->get(buffer_.data(), room);
        ring.write(buffer_.data(), got);
        return got > 0;
    }
    if (inputDone_) {
        finishRange();
        return false;
    }
    const std::size_t chunk =
        decoder_->sampleRate() == audio_format::kRate ? kChunkFrames : kResampledChunkFrames;
    const auto want = static_cast<std::size_t>(std::min<std::int64_t>(remaining_, chunk));
    const std::size_t got = decoder_->read(buffer_.data(), want);
    if (got == 0 || !converter_->put(buffer_.data(), got)) {
        inputDone_ = true;  // the end, or a fault that ends the song early
    } else {
        remaining_ -= static_cast<std::int64_t>(got);
        inputDone_ = remaining_ <= 0;
    }
    if (inputDone_) {
        converter_->finish();
    }
    return true;
}

void DecodeWorker::closeSong()
{
    mixer_.music().discardQueued();
    producing_ = false;
    awaitingEnd_ = false;
    decoder_.reset();
    converter_.reset();
}

// Auto-repeat off: a song whose range has been heard to its end is closed,
// so that a later PlayMPEG finds nothing to play.
void DecodeWorker::closeAtEndWithoutRepeat()
{
    if (!awaitingEnd_ || producing_ || autoRepeat_.load(std::memory_order_acquire)) {
        return;
    }
    if (mixer_.music().readPosition() < rangeEnd_.load(std::memory_order_relaxed)) {
        return;
    }
    {
        std::lock_guard lock(commandsMutex_);
        if (!commands_.empty()) {
            return;  // a newer command decides what happens to the song
        }
    }
    const std::uint32_t serial = serial_;
    closeSong();
    closedSerial_.store(serial, std::memory_order_release);
}
