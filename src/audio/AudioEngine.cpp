// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/AudioEngine.h"

#include "audio/AudioFormat.h"
#include "audio/DecodeWorker.h"
#include "audio/output/ClockAudioDevice.h"
#include "audio/output/SdlAudioDevice.h"

#include <QMetaObject>
#include <algorithm>
#include <utility>

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

AudioEngine::AudioEngine(Options options) : voice_(mixer_, options.evenLoudness)
{
    for (auto& factory : factories_) {
        factory = std::make_unique<DecoderFactory>(options.soundFont);
    }
    mixer_.ducker().setDepthDb(options.duckDepthDb);
    device_ = options.device ? options.device(mixer_) : makeDevice(options.output, mixer_);
    DecodeWorker::Setup setup;
    setup.factories = {factories_[0].get(), factories_[1].get()};
    setup.cacheFolder = options.cacheFolder;
    setup.evenLoudness = options.evenLoudness;
    setup.sleepAfter = options.sleepAfter;
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
    return open_ && (open_->status == Song::Status::Opening || open_->status == Song::Status::Open);
}

AudioEngine::Song* AudioEngine::songOf(const SongId& id)
{
    if (open_ && open_->id.sameSong(id)) {
        return &*open_;
    }
    if (ahead_ && ahead_->id.sameSong(id)) {
        return &*ahead_;
    }
    return nullptr;
}

QString AudioEngine::OpenMPEG(quintptr, const QString& path, const QString&)
{
    if (open_) {
        CloseMPEG();
    }
    releaseHeld();
    range_ = Range{};
    if (path.isEmpty()) {
        return QStringLiteral("No file name given");
    }
    if (ahead_ && ahead_->path == path) {
        open_ = std::move(ahead_);
        ahead_.reset();
        worker_->open(open_->id, path);
        if (open_->status == Song::Status::Failed) {
            const QString error =
                open_->error.isEmpty() ? QStringLiteral("Cannot open %1").arg(path) : open_->error;
            CloseMPEG();
            return error;
        }
        if (open_->status == Song::Status::Open) {
            announceOpened(open_->id);
        }
        takeOver_.active = true;
        takeOver_.firstFrame = open_->firstFrame;
        return {};
    }
    open_ = Song{ids_.newSong(), path};
    worker_->open(open_->id, path);
    return {};
}

// Told through the event loop, as when the open finishes on the worker.
void AudioEngine::announceOpened(SongId id)
{
    QMetaObject::invokeMethod(
        &events_,
        [this, id] {
            if (open_ && open_->id == id && open_->status == Song::Status::Open) {
                emit events_.songOpened({open_->path, open_->totalFrames});
            }
        },
        Qt::QueuedConnection);
}

std::int32_t AudioEngine::GetTotalframes()
{
    if (!songOpen()) {
        return 0;
    }
    return open_->status == Song::Status::Opening ? kLengthPending : open_->totalFrames;
}

QString AudioEngine::PlayMPEG(std::int32_t firstFrame, std::int32_t lastFrame)
{
    mixer_.setMusicPaused(false);
    if (!songOpen()) {
        releaseHeld();
        worker_->stop();
        range_ = Range{};
        range_.state = Range::State::Failed;
        return QStringLiteral("No song is open");
    }
    const std::int32_t total = GetTotalframes();
    range_.play = ids_.newPlay(open_->id);
    range_.state = Range::State::Playing;
    range_.first = std::min(std::max(firstFrame, 1) - 1, total);
    range_.end = std::max(range_.first, std::clamp(lastFrame, 0, total));
    if (takeOver_.active && std::max(firstFrame, 1) != takeOver_.firstFrame) {
        takeOver_.held = TakeOver::Held::Play;
        takeOver_.play = range_.play;
        takeOver_.first = firstFrame;
        takeOver_.last = lastFrame;
        holdUntilTheEventLoop();
        return {};
    }
    // From where it was loaded: what was held is superseded.
    takeOver_ = TakeOver{false, 1, TakeOver::Held::None, {}, 0, 0, takeOver_.serial};
    worker_->play(range_.play, firstFrame, lastFrame);
    return {};
}

void AudioEngine::holdUntilTheEventLoop()
{
    const std::uint64_t serial = ++takeOver_.serial;
    QMetaObject::invokeMethod(
        &events_,
        [this, serial] {
            if (takeOver_.serial == serial) {
                releaseHeld();
            }
        },
        Qt::QueuedConnection);
}

// What was held goes to the decode thread, before anything that comes after it.
void AudioEngine::releaseHeld()
{
    const TakeOver held = takeOver_;
    takeOver_ = TakeOver{false, 1, TakeOver::Held::None, {}, 0, 0, takeOver_.serial + 1};
    switch (held.held) {
        case TakeOver::Held::Play:
            worker_->play(held.play, held.first, held.last);
            break;
        case TakeOver::Held::Stop:
            worker_->stop();
            break;
        case TakeOver::Held::None:
            break;
    }
}

std::int32_t AudioEngine::GetPercent()
{
    switch (range_.state) {
        case Range::State::Playing:
            return worker_->progress(range_.play).percent;
        case Range::State::Ended:
            return 100;
        case Range::State::None:
        case Range::State::Failed:
            break;
    }
    return 0;
}

std::int32_t AudioEngine::GetPositionMs()
{
    switch (range_.state) {
        case Range::State::Playing:
            break;
        case Range::State::Ended:
            return static_cast<std::int32_t>(player_frame::msAt(range_.end));
        case Range::State::None:
        case Range::State::Failed:
            return 0;
    }
    const DecodeWorker::Progress progress = worker_->progress(range_.play);
    if (progress.ended) {
        return static_cast<std::int32_t>(player_frame::msAt(range_.end));  // on the way
    }
    // The output runs at the frames' own rate whatever the song's, so frames
    // heard are frames of the song.
    static_assert(audio_format::kRate == player_frame::kPerSecond);
    const std::uint64_t at = std::min<std::uint64_t>(
        std::uint64_t(range_.first) + progress.playedFrames, std::uint64_t(range_.end));
    return static_cast<std::int32_t>(player_frame::msAt(static_cast<std::int64_t>(at)));
}

std::int16_t AudioEngine::AreMPEGAtEnd()
{
    const bool ended = range_.state == Range::State::Ended || range_.state == Range::State::Failed;
    return ended ? 1 : 0;
}

void AudioEngine::PauseMPEG()
{
    if (range_.state == Range::State::Playing) {
        mixer_.setMusicPaused(true);
    }
}

void AudioEngine::ResumeMPEG()
{
    mixer_.setMusicPaused(false);
    releaseHeld();
    worker_->wake();  // the output may be paused
}

void AudioEngine::StopMPEG()
{
    mixer_.setMusicPaused(false);
    range_ = Range{};
    if (takeOver_.active) {
        takeOver_.held = TakeOver::Held::Stop;
        holdUntilTheEventLoop();
        return;
    }
    worker_->stop();
}

void AudioEngine::CloseMPEG()
{
    mixer_.setMusicPaused(false);
    releaseHeld();
    if (open_) {
        worker_->close(open_->id);
        open_.reset();
    } else {
        worker_->stop();
    }
    range_ = Range{};
}

void AudioEngine::SetAutoRepeat(bool on)
{
    worker_->setAutoRepeat(on);
}

void AudioEngine::setCrossfade(std::int32_t ms)
{
    worker_->setCrossfade(std::clamp(ms, 0, std::int32_t{Mixer::kMaxOverlapMs}));
}

void AudioEngine::preloadNext(const QString& path, FollowOn followOn, std::int32_t firstFrame)
{
    if (path.isEmpty()) {
        return;
    }
    releaseHeld();
    firstFrame = std::max(firstFrame, 1);
    if (ahead_ && ahead_->path == path) {
        ahead_->firstFrame = firstFrame;
        worker_->follow(ahead_->id, followOn, firstFrame);
        return;
    }
    ahead_ = Song{ids_.newSong(), path};
    ahead_->firstFrame = firstFrame;
    worker_->preload(ahead_->id, path, followOn, firstFrame);
}

// GUI thread: what the decode thread tells. The state changes first, then
// the signals go out.
void AudioEngine::takeReports()
{
    for (DecodeWorker::Report& report : worker_->takeReports()) {
        Song* song = songOf(report.id);
        const bool isOpen = song != nullptr && open_ && song == &*open_;
        switch (report.kind) {
            case DecodeWorker::Report::Kind::Opened:
                if (song != nullptr) {
                    song->status = Song::Status::Open;
                    song->totalFrames = report.totalFrames;
                }
                if (isOpen) {
                    // A range asked for before the length was known ends with the song.
                    range_.first = std::min(range_.first, report.totalFrames);
                    range_.end = std::min(range_.end, report.totalFrames);
                    emit events_.songOpened({open_->path, report.totalFrames});
                }
                break;
            case DecodeWorker::Report::Kind::Failed:
                if (song != nullptr) {
                    song->status = Song::Status::Failed;
                    song->error = report.error;
                }
                if (isOpen) {
                    if (range_.state == Range::State::Playing) {
                        range_.state = Range::State::Failed;  // ends at once, untold
                    }
                    emit events_.songFailed(open_->path, report.error);
                }
                break;
            case DecodeWorker::Report::Kind::Dropped:
                if (song != nullptr && !isOpen) {
                    ahead_.reset();
                }
                break;
            case DecodeWorker::Report::Kind::Ended:
                if (isOpen && report.id == range_.play && range_.state == Range::State::Playing &&
                    open_->status == Song::Status::Open) {
                    range_.state = Range::State::Ended;
                    emit events_.songEnded();
                }
                break;
            case DecodeWorker::Report::Kind::Closed:
                if (isOpen) {
                    open_->status = Song::Status::Closed;
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

void AudioEngine::setVoiceIdleListener(std::function<void()> listener)
{
    voice_.setIdleListener(std::move(listener));
}

QString AudioEngine::outputName() const
{
    return device_->name();
}

bool AudioEngine::outputPaused() const
{
    return worker_->outputPaused();
}

bool AudioEngine::addSink(std::shared_ptr<OutputSink> sink)
{
    return mixer_.sinks().add(std::move(sink));
}

void AudioEngine::removeSink(const std::shared_ptr<OutputSink>& sink)
{
    mixer_.sinks().remove(sink);
}
