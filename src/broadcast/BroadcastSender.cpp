// SPDX-License-Identifier: GPL-3.0-or-later
#include "broadcast/BroadcastSender.h"

#include "audio/AudioFormat.h"
#include "audio/mix/OutputSink.h"
#include "broadcast/ShoutConnection.h"

#include <csignal>

#include <pthread.h>

#include <algorithm>
#include <utility>

namespace {
constexpr std::size_t kReadFrames = 8192;
constexpr std::chrono::milliseconds kSoundWait{100};
// The output offers a block every few milliseconds; taking them a tenth of
// a second at a time wakes this thread (and the encoder, and the socket)
// far less often, well within what the sink holds.
constexpr std::chrono::milliseconds kGather{100};
// The most silence sent at once while the output pauses.
constexpr std::chrono::milliseconds kLongestSilence{1000};

std::size_t framesIn(std::chrono::steady_clock::duration time)
{
    using namespace std::chrono;
    return static_cast<std::size_t>(duration_cast<milliseconds>(time).count()) *
           audio_format::kRate / 1000;
}
}  // namespace

BroadcastSender::BroadcastSender(BroadcastAddress address, QString stationName, Links links)
    : address_(std::move(address)),
      stationName_(std::move(stationName)),
      links_(std::move(links)),
      sink_(std::make_shared<OutputSink>(kSinkFrames)),
      buffer_(kReadFrames * audio_format::kChannels)
{
}

BroadcastSender::~BroadcastSender()
{
    {
        const std::lock_guard lock(stopMutex_);
        stop_.store(true, std::memory_order_release);
    }
    stopped_.notify_all();
    sink_->wake();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void BroadcastSender::start()
{
    if (!thread_.joinable()) {
        thread_ = std::thread([this] { run(); });
    }
}

void BroadcastSender::setTitle(const QString& title)
{
    const std::lock_guard lock(titleMutex_);
    if (title != title_) {
        title_ = title;
        ++titleSerial_;
    }
}

void BroadcastSender::run()
{
    // libshout writes to its socket without MSG_NOSIGNAL: a server that goes
    // away would end the whole program with SIGPIPE. Blocked on this thread
    // (the one that writes), the write fails with EPIPE instead.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    ShoutConnection connection(address_, stationName_);
    while (!stopping()) {
        report({BroadcastStatus::State::Connecting, {}});
        std::optional<BroadcastFailure> failure = connection.open(stop_, kConnectTimeout);
        if (!failure) {
            QString title;
            {
                const std::lock_guard lock(titleMutex_);
                title = title_;
                titleSent_ = titleSerial_;
            }
            const std::unique_ptr<StreamEncoder> encoder =
                StreamEncoder::create(address_.format, address_.kbps, title);
            if (!encoder) {
                failure = BroadcastFailure{BroadcastFailure::Kind::Encoder,
                                           QStringLiteral("the encoder did not start")};
            } else {
                if (address_.format == StreamFormat::Mp3 && !title.isEmpty()) {
                    connection.setSongTitle(title);
                }
                retry_.reset();
                lastSaid_.clear();
                report({BroadcastStatus::State::OnAir, {}});
                if (links_.say) {
                    links_.say(
                        QStringLiteral("broadcast: on air at %1").arg(address_.listenerUrl()));
                }
                failure = pump(connection, *encoder);
            }
        }
        connection.close();
        if (stopping() || !failure) {
            break;
        }
        const std::chrono::milliseconds pause = retry_.after(failure->kind);
        report({BroadcastStatus::State::Retrying, failure->why});
        tell(*failure, pause);
        pauseFor(pause);
    }
    report({BroadcastStatus::State::Off, {}});
}

std::optional<BroadcastFailure> BroadcastSender::pump(ShoutConnection& connection,
                                                      StreamEncoder& encoder)
{
    // What queued while there was no connection is old news to a listener.
    while (sink_->read(buffer_.data(), kReadFrames) > 0) {
    }
    stalledSince_.reset();
    StreamEncoder::Bytes bytes;
    auto lastSound = std::chrono::steady_clock::now();
    while (!stopping()) {
        bytes.clear();
        takeTitle(connection, encoder, bytes);
        std::size_t frames = 0;
        if (sink_->waitForFrames(kSoundWait)) {
            if (sink_->queuedFrames() < kReadFrames) {
                pauseFor(kGather);
            }
            frames = sink_->read(buffer_.data(), kReadFrames);
            lastSound = std::chrono::steady_clock::now();
        } else if (links_.outputPaused && links_.outputPaused()) {
            const auto now = std::chrono::steady_clock::now();
            frames = std::min({framesIn(now - lastSound), framesIn(kLongestSilence), kReadFrames});
            std::fill_n(buffer_.begin(), frames * audio_format::kChannels, std::int16_t{0});
            lastSound = now;
        }
        if (frames > 0 && !encoder.encode(buffer_.data(), frames, bytes)) {
            return BroadcastFailure{BroadcastFailure::Kind::Encoder,
                                    QStringLiteral("the encoder failed")};
        }
        if (std::optional<BroadcastFailure> failure = send(connection, bytes)) {
            return failure;
        }
    }
    return std::nullopt;
}

std::optional<BroadcastFailure> BroadcastSender::send(ShoutConnection& connection,
                                                      const StreamEncoder::Bytes& bytes)
{
    if (bytes.empty() && connection.queued() == 0) {
        return std::nullopt;
    }
    if (std::optional<BroadcastFailure> failure = connection.send(bytes.data(), bytes.size())) {
        return failure;
    }
    bytesSent_.fetch_add(bytes.size(), std::memory_order_acq_rel);
    return watchQueue(connection);
}

std::optional<BroadcastFailure> BroadcastSender::watchQueue(ShoutConnection& connection)
{
    const std::size_t queued = connection.queued();
    const auto now = std::chrono::steady_clock::now();
    if (queued < kStalledBytes) {
        stalledSince_.reset();
        return std::nullopt;
    }
    if (!stalledSince_) {
        stalledSince_ = now;
    }
    if (queued >= kMostQueuedBytes || now - *stalledSince_ >= kStallTime) {
        return BroadcastFailure{BroadcastFailure::Kind::Stalled,
                                QStringLiteral("the network to %1:%2 takes no data")
                                    .arg(address_.host)
                                    .arg(address_.port)};
    }
    return std::nullopt;
}

void BroadcastSender::takeTitle(ShoutConnection& connection, StreamEncoder& encoder,
                                StreamEncoder::Bytes& bytes)
{
    QString title;
    {
        const std::lock_guard lock(titleMutex_);
        if (titleSent_ == titleSerial_) {
            return;
        }
        title = title_;
        titleSent_ = titleSerial_;
    }
    if (!encoder.retitle(title, bytes)) {
        connection.setSongTitle(title);
    }
}

void BroadcastSender::report(BroadcastStatus status)
{
    if (status_ != status) {
        status_ = status;
        if (links_.status) {
            links_.status(status);
        }
    }
}

void BroadcastSender::tell(const BroadcastFailure& failure, std::chrono::milliseconds pause)
{
    if (failure.why == lastSaid_ || !links_.say) {
        return;
    }
    lastSaid_ = failure.why;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(pause).count();
    links_.say(QStringLiteral("broadcast: %1; trying again in %2 s%3")
                   .arg(failure.why)
                   .arg(seconds)
                   .arg(failure.kind == BroadcastFailure::Kind::Refused
                            ? QStringLiteral(" and then every %1 s").arg(seconds)
                            : QString()));
}

void BroadcastSender::pauseFor(std::chrono::milliseconds time)
{
    std::unique_lock lock(stopMutex_);
    stopped_.wait_for(lock, time, [this] { return stopping(); });
}
