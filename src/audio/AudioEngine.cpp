#include "audio/AudioEngine.h"

#include "audio/AudioFormat.h"
#include "audio/ClockAudioDevice.h"
#include "audio/DecodeWorker.h"
#include "audio/SdlAudioDevice.h"

#include <algorithm>
#include <limits>

namespace {
std::unique_ptr<AudioDevice> makeDevice(AudioEngine::Output output, Mixer& mixer)
{
    switch (output) {
        case AudioEngine::Output::SilentClock:
            return std::make_unique<ClockAudioDevice>(mixer, ClockAudioDevice::Pace::RealTime);
        case AudioEngine::Output::Unpaced:
            return std::make_unique<ClockAudioDevice>(mixer,
                                                      ClockAudioDevice::Pace::AsFastAsPossible);
        case AudioEngine::Output::Device:
            break;
    }
    return std::make_unique<SdlAudioDevice>(mixer);
}
}  // namespace

AudioEngine::AudioEngine() : AudioEngine(Options{}) {}

AudioEngine::AudioEngine(Options options) : factory_(options.soundFont), voice_(mixer_)
{
    mixer_.setTap(options.tap, options.tapContext);
    device_ = makeDevice(options.output, mixer_);
    worker_ = std::make_unique<DecodeWorker>(mixer_, voice_, *device_);
}

AudioEngine::~AudioEngine()
{
    worker_.reset();
    device_.reset();
}

bool AudioEngine::songOpen() const
{
    return opened_ && !worker_->closedByItself(serial_);
}

QString AudioEngine::OpenMPEG(quintptr, const QString& path, const QString&)
{
    if (opened_) {
        CloseMPEG();
    }
    QString error;
    std::unique_ptr<Decoder> decoder = factory_.open(path, error);
    if (!decoder) {
        return error.isEmpty() ? QStringLiteral("Cannot open %1").arg(path) : error;
    }
    rate_ = decoder->sampleRate();
    length_ = decoder->length();
    // Frames are milliseconds; the last one may be partly filled.
    const std::int64_t ms = (length_ * 1000 + rate_ - 1) / rate_;
    totalFrames_ = static_cast<std::int32_t>(
        std::min<std::int64_t>(ms, std::numeric_limits<std::int32_t>::max()));
    ++serial_;
    worker_->open(std::move(decoder), serial_);
    opened_ = true;
    transport_ = Transport::Idle;
    return {};
}

std::int32_t AudioEngine::GetTotalframes()
{
    return songOpen() ? totalFrames_ : 0;
}

QString AudioEngine::PlayMPEG(std::int32_t firstFrame, std::int32_t lastFrame)
{
    mixer_.setMusicPaused(false);
    if (!songOpen()) {
        worker_->stop();
        transport_ = Transport::Failed;
        return QStringLiteral("No song is open");
    }
    // Frame n is the millisecond that starts at n - 1 ms.
    const std::int64_t first = std::max<std::int32_t>(firstFrame, 1) - 1;
    const std::int64_t firstSample = first * rate_ / 1000;
    const std::int64_t endSample =
        lastFrame >= totalFrames_ ? length_ : std::int64_t{std::max(lastFrame, 0)} * rate_ / 1000;
    rangeFirstMs_ = static_cast<std::int32_t>(std::min<std::int64_t>(first, totalFrames_));
    rangeEndMs_ = std::max(rangeFirstMs_, std::clamp(lastFrame, 0, totalFrames_));
    ++generation_;
    worker_->play(firstSample, std::max(firstSample, endSample), generation_);
    transport_ = Transport::Playing;
    return {};
}

std::int32_t AudioEngine::GetPercent()
{
    if (transport_ != Transport::Playing) {
        return 0;
    }
    return worker_->progress(generation_).percent;
}

std::int32_t AudioEngine::GetPositionMs()
{
    if (transport_ != Transport::Playing) {
        return 0;
    }
    const DecodeWorker::Progress progress = worker_->progress(generation_);
    if (progress.ended) {
        return rangeEndMs_;
    }
    // The output runs at one rate whatever the song's, so frames heard map
    // straight to time in the song.
    const std::uint64_t heardMs = progress.playedFrames * 1000 / audio_format::kRate;
    return static_cast<std::int32_t>(std::min<std::uint64_t>(std::uint64_t(rangeFirstMs_) + heardMs,
                                                             std::uint64_t(rangeEndMs_)));
}

std::int16_t AudioEngine::AreMPEGAtEnd()
{
    switch (transport_) {
        case Transport::Failed:
            return 1;
        case Transport::Playing:
            return worker_->progress(generation_).ended ? 1 : 0;
        case Transport::Idle:
        case Transport::Stopped:
            break;
    }
    return 0;
}

void AudioEngine::PauseMPEG()
{
    if (transport_ == Transport::Playing) {
        mixer_.setMusicPaused(true);
    }
}

void AudioEngine::ResumeMPEG()
{
    mixer_.setMusicPaused(false);
}

void AudioEngine::StopMPEG()
{
    mixer_.setMusicPaused(false);
    worker_->stop();
    if (transport_ != Transport::Idle) {
        transport_ = Transport::Stopped;
    }
}

void AudioEngine::CloseMPEG()
{
    mixer_.setMusicPaused(false);
    worker_->close();
    opened_ = false;
    transport_ = Transport::Idle;
}

void AudioEngine::SetAutoRepeat(bool on)
{
    worker_->setAutoRepeat(on);
}

bool AudioEngine::pushVoice(const std::int16_t* samples, std::size_t frames, int sampleRate,
                            int channels)
{
    return voice_.push(samples, frames, sampleRate, channels);
}

void AudioEngine::flushVoice()
{
    voice_.flush();
}

bool AudioEngine::voiceIdle() const
{
    return voice_.idle();
}

std::uint64_t AudioEngine::voiceFramesPlayed() const
{
    return voice_.framesPlayed();
}

QString AudioEngine::outputName() const
{
    return device_->name();
}
