#include "audio/AudioEngine.h"

#include "audio/AudioFormat.h"
#include "audio/DecodeWorker.h"
#include "audio/output/ClockAudioDevice.h"
#include "audio/output/SdlAudioDevice.h"

#include <QMetaObject>

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

// The worker knows no follow-on as no value.
std::optional<FollowOn> mixerFollowOn(FollowOn followOn)
{
    return followOn == FollowOn::No ? std::nullopt : std::optional(followOn);
}
}  // namespace

AudioEngine::AudioEngine() : AudioEngine(Options{}) {}

AudioEngine::AudioEngine(Options options) : voice_(mixer_, options.evenLoudness)
{
    for (auto& factory : factories_) {
        factory = std::make_unique<DecoderFactory>(options.soundFont);
    }
    mixer_.setTap(options.tap, options.tapContext);
    mixer_.ducker().setDepthDb(options.duckDepthDb);
    device_ = makeDevice(options.output, mixer_);
    DecodeWorker::Setup setup;
    setup.factories = {factories_[0].get(), factories_[1].get()};
    setup.cacheFolder = options.cacheFolder;
    setup.evenLoudness = options.evenLoudness;
    // Called on the decode thread: the reports are taken on the GUI thread.
    setup.notify = [this] {
        QMetaObject::invokeMethod(
            &events_, [this] { takeReports(); }, Qt::QueuedConnection);
    };
    worker_ = std::make_unique<DecodeWorker>(mixer_, voice_, *device_, std::move(setup));
}

AudioEngine::~AudioEngine()
{
    worker_.reset();
    device_.reset();
}

bool AudioEngine::songOpen() const
{
    return current_ && current_->status != Song::Status::Failed &&
           !worker_->closedByItself(current_->serial);
}

QString AudioEngine::OpenMPEG(quintptr, const QString& path, const QString&)
{
    if (current_) {
        CloseMPEG();
    }
    transport_ = Transport::Idle;
    if (path.isEmpty()) {
        return QStringLiteral("No file name given");
    }
    if (next_ && next_->path == path) {
        current_ = std::move(next_);
        next_.reset();
        worker_->promote(current_->serial);
        if (current_->status == Song::Status::Failed) {
            const QString error = current_->error.isEmpty()
                                      ? QStringLiteral("Cannot open %1").arg(path)
                                      : current_->error;
            CloseMPEG();
            return error;
        }
        if (current_->status == Song::Status::Open) {
            announceOpened(current_->serial);
        }
        return {};
    }
    current_ = Song{++serial_, path, Song::Status::Pending, 0, {}};
    worker_->open(current_->serial, path);
    return {};
}

// Told through the event loop, as when the open finishes on the worker.
void AudioEngine::announceOpened(std::uint32_t serial)
{
    QMetaObject::invokeMethod(
        &events_,
        [this, serial] {
            if (current_ && current_->serial == serial && current_->status == Song::Status::Open) {
                emit events_.songOpened({current_->path, current_->totalFrames});
            }
        },
        Qt::QueuedConnection);
}

std::int32_t AudioEngine::GetTotalframes()
{
    if (!songOpen()) {
        return 0;
    }
    return current_->status == Song::Status::Pending ? kLengthPending : current_->totalFrames;
}

QString AudioEngine::PlayMPEG(std::int32_t firstFrame, std::int32_t lastFrame)
{
    mixer_.setMusicPaused(false);
    if (!songOpen()) {
        worker_->stop();
        transport_ = Transport::Failed;
        return QStringLiteral("No song is open");
    }
    const std::int32_t total =
        current_->status == Song::Status::Open ? current_->totalFrames : kLengthPending;
    rangeFirstMs_ = std::min(std::max(firstFrame, 1) - 1, total);
    rangeEndMs_ = std::max(rangeFirstMs_, std::clamp(lastFrame, 0, total));
    ++generation_;
    worker_->play(current_->serial, generation_, firstFrame, lastFrame);
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
            if (current_ && current_->status == Song::Status::Failed) {
                return 1;
            }
            if (current_ && current_->status == Song::Status::Pending) {
                return 0;
            }
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
    worker_->wake();  // the output may be paused
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
    if (current_) {
        worker_->close(current_->serial);
        current_.reset();
    } else {
        worker_->stop();
    }
    transport_ = Transport::Idle;
}

void AudioEngine::SetAutoRepeat(bool on)
{
    worker_->setAutoRepeat(on);
}

void AudioEngine::preloadNext(const QString& path, FollowOn followOn)
{
    if (path.isEmpty()) {
        return;
    }
    if (next_ && next_->path == path) {
        worker_->follow(next_->serial, mixerFollowOn(followOn));
        return;
    }
    next_ = Song{++serial_, path, Song::Status::Pending, 0, {}};
    worker_->preload(next_->serial, path, mixerFollowOn(followOn));
}

// GUI thread: what the worker has found out. The state changes first, then
// the signals go out.
void AudioEngine::takeReports()
{
    for (DecodeWorker::Report& report : worker_->takeReports()) {
        const bool isCurrent = current_ && current_->serial == report.number;
        const bool isNext = next_ && next_->serial == report.number;
        switch (report.kind) {
            case DecodeWorker::Report::Kind::Opened:
                if (isCurrent || isNext) {
                    Song& song = isCurrent ? *current_ : *next_;
                    song.status = Song::Status::Open;
                    song.totalFrames = report.totalFrames;
                }
                if (isCurrent) {
                    // A range asked for before the length was known ends with the song.
                    rangeFirstMs_ = std::min(rangeFirstMs_, report.totalFrames);
                    rangeEndMs_ = std::min(rangeEndMs_, report.totalFrames);
                    emit events_.songOpened({current_->path, report.totalFrames});
                }
                break;
            case DecodeWorker::Report::Kind::Failed:
                if (isCurrent) {
                    current_->status = Song::Status::Failed;
                    current_->error = report.error;
                    emit events_.songFailed(current_->path, report.error);
                } else if (isNext) {
                    next_->status = Song::Status::Failed;
                    next_->error = report.error;
                }
                break;
            case DecodeWorker::Report::Kind::Dropped:
                if (isNext) {
                    next_.reset();
                }
                break;
            case DecodeWorker::Report::Kind::Ended:
                if (report.number == generation_ && transport_ == Transport::Playing && current_ &&
                    current_->status == Song::Status::Open) {
                    emit events_.songEnded();
                }
                break;
        }
    }
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

void AudioEngine::setVoiceVolume(int percent)
{
    voice_.setVolume(percent);
}

QString AudioEngine::outputName() const
{
    return device_->name();
}

bool AudioEngine::outputPaused() const
{
    return worker_->outputPaused();
}
