// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "broadcast/BroadcastAddress.h"
#include "broadcast/BroadcastFailure.h"
#include "broadcast/BroadcastStatus.h"
#include "broadcast/RetryPause.h"
#include "broadcast/StreamEncoder.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class OutputSink;
class ShoutConnection;

// Sends what the station plays to an Icecast server, on a thread of its own:
// reads the output sink (which the speaker fills and never waits for),
// encodes, sends. It connects, and after any failure connects again by
// itself after a RetryPause, for as long as it lives. A network that stalls
// costs the stream its sound (the sink drops whole blocks, libshout's queue
// is bounded by giving up on the connection), never the speaker. While the
// output is paused because nothing is to be heard, it sends silence, so
// listeners stay tuned in.
class BroadcastSender {
public:
    // Two seconds of sound: the encoder's thread may be late by that much.
    static constexpr std::size_t kSinkFrames = 2 * 44100;
    // A send queue this long for this long (or ever this long) is a stalled
    // network: the connection is given up and made anew.
    static constexpr std::size_t kStalledBytes = 64 * 1024;
    static constexpr std::chrono::milliseconds kStallTime{10000};
    static constexpr std::size_t kMostQueuedBytes = 1024 * 1024;
    static constexpr std::chrono::milliseconds kConnectTimeout{10000};

    // Called on the sender's thread.
    struct Links {
        std::function<void(const BroadcastStatus&)> status;
        // A line for stderr: each failure once, until the stream is on air
        // again; going on air.
        std::function<void(const QString&)> say;
        // Any thread: the output pauses, nothing is to be heard.
        std::function<bool()> outputPaused;
    };

    BroadcastSender(BroadcastAddress address, QString stationName, Links links);
    // Stops: returns once the thread has ended (the connection is closed).
    ~BroadcastSender();
    BroadcastSender(const BroadcastSender&) = delete;
    BroadcastSender& operator=(const BroadcastSender&) = delete;

    // The sink to hand the engine, before or after start().
    const std::shared_ptr<OutputSink>& sink() const { return sink_; }
    void start();
    // Any thread: what listeners' players show from now on.
    void setTitle(const QString& title);

    // Any thread: bytes handed to the server (or its queue) so far.
    std::uint64_t bytesSent() const { return bytesSent_.load(std::memory_order_acquire); }

private:
    void run();
    // Sends until a failure or a stop; nothing when stopped.
    std::optional<BroadcastFailure> pump(ShoutConnection& connection, StreamEncoder& encoder);
    std::optional<BroadcastFailure> send(ShoutConnection& connection,
                                         const StreamEncoder::Bytes& bytes);
    std::optional<BroadcastFailure> watchQueue(ShoutConnection& connection);
    void takeTitle(ShoutConnection& connection, StreamEncoder& encoder,
                   StreamEncoder::Bytes& bytes);
    void report(BroadcastStatus status);
    void tell(const BroadcastFailure& failure, std::chrono::milliseconds pause);
    // Sleeps `time`, or less when stopped.
    void pauseFor(std::chrono::milliseconds time);
    bool stopping() const { return stop_.load(std::memory_order_acquire); }

    const BroadcastAddress address_;
    const QString stationName_;
    const Links links_;
    std::shared_ptr<OutputSink> sink_;

    std::mutex titleMutex_;
    QString title_;                          // guarded by titleMutex_
    std::uint64_t titleSerial_ = 0;          // guarded by titleMutex_
    std::uint64_t titleSent_ = 0;            // sender's thread
    std::optional<BroadcastStatus> status_;  // sender's thread
    QString lastSaid_;                       // sender's thread
    RetryPause retry_;                       // sender's thread
    std::vector<std::int16_t> buffer_;       // sender's thread
    std::optional<std::chrono::steady_clock::time_point> stalledSince_;

    std::atomic<std::uint64_t> bytesSent_{0};
    std::atomic<bool> stop_{false};
    std::mutex stopMutex_;
    std::condition_variable stopped_;
    std::thread thread_;
};
